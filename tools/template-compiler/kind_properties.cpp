#include "tools/template-compiler/kind_properties.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "units/kind_numbers.h"

namespace tplc {

using namespace units;

const std::vector<FontField>& font_fields() {
  static const std::vector<FontField> fields{
      {"height", offsetof(LogFontA, lfHeight), 4},
      {"width", offsetof(LogFontA, lfWidth), 4},
      {"escapement", offsetof(LogFontA, lfEscapement), 4},
      {"orientation", offsetof(LogFontA, lfOrientation), 4},
      {"weight", offsetof(LogFontA, lfWeight), 4},
      {"italic", offsetof(LogFontA, lfItalic), 1},
      {"underline", offsetof(LogFontA, lfUnderline), 1},
      {"strike_out", offsetof(LogFontA, lfStrikeOut), 1},
      {"charset", offsetof(LogFontA, lfCharSet), 1},
      {"out_precision", offsetof(LogFontA, lfOutPrecision), 1},
      {"clip_precision", offsetof(LogFontA, lfClipPrecision), 1},
      {"quality", offsetof(LogFontA, lfQuality), 1},
      {"pitch_and_family", offsetof(LogFontA, lfPitchAndFamily), 1},
  };
  return fields;
}

int32_t font_field_value(const LogFontA& font, const FontField& field) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&font) + field.offset;
  if (field.size == 1) return *bytes;
  int32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

void set_font_field(LogFontA& font, const FontField& field, int32_t value) {
  auto* bytes = reinterpret_cast<uint8_t*>(&font) + field.offset;
  if (field.size == 1)
    *bytes = static_cast<uint8_t>(value);
  else
    std::memcpy(bytes, &value, sizeof value);
}

namespace {

// Menu items are records of the frame's own, with no kind behind them to name them.
constexpr std::array<std::pair<uint32_t, const char*>, 6> kKindNames{{
    {kind::kWindow, kWindowNames.english_name},
    {kind::kMenuItem, "MenuItem"},
    {kind::kPictureBox, kPictureBoxNames.english_name},
    {kind::kPictureButton, kPictureButtonNames.english_name},
    {kind::kTransparentLabel, kLabelNames.english_name},
    {kind::kComObject, kComObjectNames.english_name},
}};

}  // namespace

std::optional<uint32_t> kind_number_of(std::string_view name) {
  for (const auto& [number, kind_name] : kKindNames)
    if (name == kind_name) return number;
  return std::nullopt;
}

const char* kind_name_of(uint32_t kind_number) {
  for (const auto& [number, kind_name] : kKindNames)
    if (number == kind_number) return kind_name;
  return nullptr;
}

}  // namespace tplc
