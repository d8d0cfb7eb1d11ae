#pragma once
// The font a label stores in its block.
#include <bit>
#include <cstdint>

namespace units {

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

}  // namespace units
