// A label's font as the fields its block sets, one value a test compares whole: the
// expected font reads as one line and a failure prints every field.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

#include "units/log_font.h"

namespace support {

struct FontFields {
  int32_t height, weight;
  int italic, charset, out_precision, clip_precision, quality, pitch_and_family;
  std::string face;
  bool operator==(const FontFields&) const = default;
};

inline FontFields font_fields(const units::LogFontA& font) {
  return {font.lfHeight,
          font.lfWeight,
          font.lfItalic,
          font.lfCharSet,
          font.lfOutPrecision,
          font.lfClipPrecision,
          font.lfQuality,
          font.lfPitchAndFamily,
          std::string(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName))};
}

inline std::ostream& operator<<(std::ostream& out, const FontFields& font) {
  return out << "height " << font.height << ", weight " << font.weight << ", italic " << font.italic << ", charset "
             << font.charset << ", precision " << font.out_precision << "/" << font.clip_precision << ", quality "
             << font.quality << ", pitch and family " << font.pitch_and_family << ", face \"" << font.face << "\"";
}

}  // namespace support
