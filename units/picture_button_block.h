// Property block of the picture button kind.
//
//   u32 version (0..1), u32 button type, u32 checked, u32 colour key,
//   bytes normal picture, bytes hover picture, bytes pressed picture, bytes disabled picture
//
// Byte arrays are a u32 length and the bytes; length 0 leaves the slot empty.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace units {

inline constexpr uint32_t kPictureButtonBlockVersion = 1;
inline constexpr uint32_t kMaxButtonType = 1;
inline constexpr uint32_t kNoColourKey = 0xFF000000;

enum PictureSlot : size_t { kNormalPicture, kHoverPicture, kPressedPicture, kDisabledPicture, kPictureSlotCount };

struct PictureButtonBlock {
  uint32_t button_type = 0;  // 0 push, 1 toggle
  bool checked = false;
  uint32_t colour_key = kNoColourKey;
  std::array<std::vector<uint8_t>, kPictureSlotCount> pictures;  // indexed by PictureSlot
};

// Accepts versions 0 and 1; rejects a newer version or data that ends early.
std::optional<PictureButtonBlock> decode_picture_button_block(std::span<const uint8_t> data);

// Always writes version 1.
std::vector<uint8_t> encode(const PictureButtonBlock& block);

}  // namespace units
