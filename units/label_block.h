// Property block of the transparent label kind.
//
//   u32 version (0..1), u32 text effect, u32 text colour, u32 horizontal alignment,
//   u32 vertical alignment, u32 word wrap,
//   u32 font length (60, or 0 for none) + LogFontA, text caption (u32 length + GBK bytes)
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

inline constexpr uint32_t kLabelBlockVersion = 1;
inline constexpr uint32_t kMaxTextEffect = 3;
inline constexpr uint32_t kMaxHorizontalAlignment = 2;
inline constexpr uint32_t kMaxVerticalAlignment = 2;

// Byte for byte the Windows LOGFONTA, so the Win32 side can copy it straight over;
// 4-aligned like it, so its fields can be used in place.
#pragma pack(push, 1)
struct alignas(4) LogFontA {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];
};
#pragma pack(pop)
static_assert(sizeof(LogFontA) == 60, "LOGFONTA is 60 bytes on disk");
static_assert(alignof(LogFontA) == 4);
static_assert(std::endian::native == std::endian::little, "the font is stored in host byte order");

struct LabelBlock {
  uint32_t text_effect = 0;
  uint32_t text_colour = 0;  // COLORREF
  uint32_t horizontal_alignment = 0;
  uint32_t vertical_alignment = 1;
  bool word_wrap = false;
  std::optional<LogFontA> font;                           // none: the default GUI font
  std::string text = "\xCD\xB8\xC3\xF7\xB1\xEA\xC7\xA9";  // "透明标签" in GBK
};

// Accepts versions 0 and 1; rejects a newer version or data that ends early.
// A font of any length but 60 is skipped and leaves the label on the default font,
// as the kind itself treats it.
std::optional<LabelBlock> decode_label_block(std::span<const uint8_t> data);

// Always writes version 1.
std::vector<uint8_t> encode(const LabelBlock& block);

}  // namespace units
