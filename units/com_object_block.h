// Property block of the automation object kind, a unit without a window.
//
//   u32 version (1), text class (a ProgID such as "WScript.Shell", or a class id in
//   braces)
//
// Texts are a u32 length and the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "units/kind_table.h"

namespace units {

inline constexpr KindNames kComObjectNames = {"对象", "ComObject", 0x80000000};

inline constexpr uint32_t kComObjectBlockVersion = 1;

struct ComObjectBlock {
  std::string class_name;
};

enum class ComObjectEffect : uint8_t { none, object };

inline constexpr KindProperty<ComObjectBlock, ComObjectEffect> kComObjectProperties[] = {
    {8, "class", frame::kPropertyText, &ComObjectBlock::class_name, kAnyWord, ComObjectEffect::object},
};
static_assert(slots_follow_the_common_ones(kComObjectProperties));

// Returns nothing for a newer version or data that ends early.
std::optional<ComObjectBlock> decode_com_object_block(std::span<const uint8_t> data);

std::vector<uint8_t> encode(const ComObjectBlock& block);

}  // namespace units
