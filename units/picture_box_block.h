// Property block of the picture box kind.
//
//   u32 version (0..2), u32 border style, u32 display mode, u32 background colour,
//   u32 animate, bytes picture,
//   version 2: text data source name, text data column name
//
// Texts and byte arrays are a u32 length and the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "units/block_fields.h"
#include "units/kind_table.h"

namespace units {

inline constexpr KindNames kPictureBoxNames = {"图片框", "PicBox", 0x840100C0};

inline constexpr uint32_t kPictureBoxBlockVersion = 2;

struct PictureBoxBlock {
  uint32_t border_style = 0;
  uint32_t display_mode = 0;
  uint32_t background_colour = 0xFF000000;  // the system button-face colour
  bool animate = true;
  std::vector<uint8_t> picture;
  std::string data_source;
  std::string data_column;
};

inline constexpr std::tuple kPictureBoxFields{
    block_field(&PictureBoxBlock::border_style),      block_field(&PictureBoxBlock::display_mode),
    block_field(&PictureBoxBlock::background_colour), block_field(&PictureBoxBlock::animate),
    block_field(&PictureBoxBlock::picture),           block_field(&PictureBoxBlock::data_source, 2),
    block_field(&PictureBoxBlock::data_column, 2),
};

// What a write does to a live picture box beyond storing the value.
enum class PictureBoxEffect : uint8_t { none, border, colour, picture, display_mode, animation };

inline constexpr KindProperty<PictureBoxBlock, PictureBoxEffect> kPictureBoxProperties[] = {
    {8, "border_style", frame::kPropertyChoice, &PictureBoxBlock::border_style, 5, PictureBoxEffect::border},
    {9, "background_colour", frame::kPropertyBackgroundColour, &PictureBoxBlock::background_colour, kAnyWord,
     PictureBoxEffect::colour},
    {10, "picture", frame::kPropertyPicture, &PictureBoxBlock::picture, kAnyWord, PictureBoxEffect::picture},
    {11, "display_mode", frame::kPropertyChoice, &PictureBoxBlock::display_mode, 2, PictureBoxEffect::display_mode},
    {12, "animate", frame::kPropertyBoolean, &PictureBoxBlock::animate, kAnyWord, PictureBoxEffect::animation},
    {13, "data_source", frame::kPropertyDataSource, &PictureBoxBlock::data_source},
    {14, "data_column", frame::kPropertyDataColumn, &PictureBoxBlock::data_column},
};
static_assert(slots_follow_the_common_ones(kPictureBoxProperties));

// Accepts versions 0 to 2; rejects a newer version or data that ends early.
std::optional<PictureBoxBlock> decode_picture_box_block(std::span<const uint8_t> data);

// Always writes version 2.
std::vector<uint8_t> encode(const PictureBoxBlock& block);

}  // namespace units
