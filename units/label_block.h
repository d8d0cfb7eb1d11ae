// Property block of the transparent label kind.
//
//   u32 version (0..1), u32 text effect, u32 text colour, u32 horizontal alignment,
//   u32 vertical alignment, u32 word wrap,
//   u32 font length (60, or 0 for none) + LogFontA, text caption (u32 length + GBK bytes)
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "units/block_fields.h"
#include "units/kind_table.h"
#include "units/log_font.h"

namespace units {

inline constexpr KindNames kLabelNames = {"透明标签", "TransLabel", 0x00012040};

inline constexpr uint32_t kLabelBlockVersion = 1;

struct LabelBlock {
  uint32_t text_effect = 0;
  uint32_t text_colour = 0;  // COLORREF
  uint32_t horizontal_alignment = 0;
  uint32_t vertical_alignment = 1;
  bool word_wrap = false;
  std::optional<LogFontA> font;                           // none: the default GUI font
  std::string text = "\xCD\xB8\xC3\xF7\xB1\xEA\xC7\xA9";  // "透明标签" in GBK
};

// A font of any length but 60 is skipped and leaves the label on the default font,
// as the kind itself treats it; none is written as length 0.
bool read_field(frame::ByteReader& r, std::optional<LogFontA>& font);
void write_field(frame::ByteWriter& w, const std::optional<LogFontA>& font);

inline constexpr std::tuple kLabelFields{
    block_field(&LabelBlock::text_effect),
    block_field(&LabelBlock::text_colour),
    block_field(&LabelBlock::horizontal_alignment),
    block_field(&LabelBlock::vertical_alignment),
    block_field(&LabelBlock::word_wrap),
    block_field(&LabelBlock::font),
    block_field(&LabelBlock::text),
};

// Every write redraws the label; these do more first.
enum class LabelEffect : uint8_t { redraw, text };

inline constexpr KindProperty<LabelBlock, LabelEffect> kLabelProperties[] = {
    {8, "text", frame::kPropertyText, &LabelBlock::text, kAnyWord, LabelEffect::text},
    {9, "text_effect", frame::kPropertyChoice, &LabelBlock::text_effect, 3},
    {10, "font", frame::kPropertyFont, &LabelBlock::font},
    {11, "text_colour", frame::kPropertyColour, &LabelBlock::text_colour},
    {12, "horizontal_alignment", frame::kPropertyChoice, &LabelBlock::horizontal_alignment, 2},
    {13, "word_wrap", frame::kPropertyBoolean, &LabelBlock::word_wrap},
    {14, "vertical_alignment", frame::kPropertyChoice, &LabelBlock::vertical_alignment, 2},
};
static_assert(slots_follow_the_common_ones(kLabelProperties));

// Accepts versions 0 and 1; rejects a newer version or data that ends early.
std::optional<LabelBlock> decode_label_block(std::span<const uint8_t> data);

// Always writes version 1.
std::vector<uint8_t> encode(const LabelBlock& block);

}  // namespace units
