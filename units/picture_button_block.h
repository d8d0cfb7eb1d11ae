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

#include "units/block_fields.h"
#include "units/kind_table.h"

namespace units {

inline constexpr KindNames kPictureButtonNames = {"图形按钮", "PicBtn", 0x80010040};

inline constexpr uint32_t kPictureButtonBlockVersion = 1;
inline constexpr uint32_t kNoColourKey = 0xFF000000;

enum PictureSlot : size_t { kNormalPicture, kHoverPicture, kPressedPicture, kDisabledPicture, kPictureSlotCount };

struct PictureButtonBlock {
  uint32_t button_type = 0;  // 0 push, 1 toggle
  bool checked = false;
  uint32_t colour_key = kNoColourKey;
  std::array<std::vector<uint8_t>, kPictureSlotCount> pictures;  // indexed by PictureSlot
};

inline constexpr std::tuple kPictureButtonFields{
    block_field(&PictureButtonBlock::button_type),
    block_field(&PictureButtonBlock::checked),
    block_field(&PictureButtonBlock::colour_key),
    block_field(&PictureButtonBlock::pictures),
};

template <PictureSlot slot>
constexpr Bytes& picture_in(PictureButtonBlock& block) {
  return block.pictures[slot];
}

// What a write does to a live picture button beyond storing the value.
enum class PictureButtonEffect : uint8_t { none, checked, picture, colour_key };

inline constexpr KindProperty<PictureButtonBlock, PictureButtonEffect> kPictureButtonProperties[] = {
    {8, "button_type", frame::kPropertyChoice, &PictureButtonBlock::button_type, 1},
    {9, "checked", frame::kPropertyBoolean, &PictureButtonBlock::checked, kAnyWord, PictureButtonEffect::checked},
    {10, "normal", frame::kPropertyPicture, &picture_in<kNormalPicture>, kAnyWord, PictureButtonEffect::picture},
    {11, "hover", frame::kPropertyPicture, &picture_in<kHoverPicture>, kAnyWord, PictureButtonEffect::picture},
    {12, "pressed", frame::kPropertyPicture, &picture_in<kPressedPicture>, kAnyWord, PictureButtonEffect::picture},
    {13, "disabled", frame::kPropertyPicture, &picture_in<kDisabledPicture>, kAnyWord, PictureButtonEffect::picture},
    {14, "colour_key", frame::kPropertyBackgroundColour, &PictureButtonBlock::colour_key, kAnyWord,
     PictureButtonEffect::colour_key},
};
static_assert(slots_follow_the_common_ones(kPictureButtonProperties));

// Accepts versions 0 and 1; rejects a newer version or data that ends early.
std::optional<PictureButtonBlock> decode_picture_button_block(std::span<const uint8_t> data);

// Always writes version 1.
std::vector<uint8_t> encode(const PictureButtonBlock& block);

}  // namespace units
