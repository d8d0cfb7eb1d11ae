#include "tools/template-compiler/kind_properties.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "frame/kind_numbers.h"

namespace tplc {

using namespace units;

const KindProperties<WindowBlock>& window_properties() {
  static const KindProperties<WindowBlock> table{
      {
          {"border_style", &WindowBlock::border_style},
          {"picture_mode", &WindowBlock::picture_mode},
          {"background_colour", &WindowBlock::background_colour, true},
          {"maximize_box", &WindowBlock::maximize_box},
          {"minimize_box", &WindowBlock::minimize_box},
          {"control_box", &WindowBlock::control_box},
          {"start_position", &WindowBlock::start_position},
          {"movable", &WindowBlock::movable},
          {"sound_repeat", &WindowBlock::sound_repeat},
          {"enter_moves_focus", &WindowBlock::enter_moves_focus},
          {"esc_closes", &WindowBlock::esc_closes},
          {"f1_opens_help", &WindowBlock::f1_opens_help},
          {"help_context", &WindowBlock::help_context},
          {"show_in_taskbar", &WindowBlock::show_in_taskbar},
          {"drag_anywhere", &WindowBlock::drag_anywhere},
          {"shape", &WindowBlock::shape},
          {"always_on_top", &WindowBlock::always_on_top},
          {"keep_caption_active", &WindowBlock::keep_caption_active},
          {"class_name", &WindowBlock::class_name},
          {"title", &WindowBlock::title},
          {"help_file", &WindowBlock::help_file},
      },
      {
          {"background", [](WindowBlock& b) -> std::vector<uint8_t>& { return b.background_picture; }},
          {"icon", [](WindowBlock& b) -> std::vector<uint8_t>& { return b.icon; }},
          {"sound", [](WindowBlock& b) -> std::vector<uint8_t>& { return b.background_sound; }},
      },
  };
  return table;
}

const KindProperties<PictureBoxBlock>& picture_box_properties() {
  static const KindProperties<PictureBoxBlock> table{
      {
          {"border_style", &PictureBoxBlock::border_style},
          {"display_mode", &PictureBoxBlock::display_mode},
          {"background_colour", &PictureBoxBlock::background_colour, true},
          {"animate", &PictureBoxBlock::animate},
          {"data_source", &PictureBoxBlock::data_source},
          {"data_column", &PictureBoxBlock::data_column},
      },
      {
          {"picture", [](PictureBoxBlock& b) -> std::vector<uint8_t>& { return b.picture; }},
      },
  };
  return table;
}

const KindProperties<PictureButtonBlock>& picture_button_properties() {
  static const KindProperties<PictureButtonBlock> table{
      {
          {"button_type", &PictureButtonBlock::button_type},
          {"checked", &PictureButtonBlock::checked},
          {"colour_key", &PictureButtonBlock::colour_key, true},
      },
      {
          {"normal", [](PictureButtonBlock& b) -> std::vector<uint8_t>& { return b.pictures[kNormalPicture]; }},
          {"hover", [](PictureButtonBlock& b) -> std::vector<uint8_t>& { return b.pictures[kHoverPicture]; }},
          {"pressed", [](PictureButtonBlock& b) -> std::vector<uint8_t>& { return b.pictures[kPressedPicture]; }},
          {"disabled", [](PictureButtonBlock& b) -> std::vector<uint8_t>& { return b.pictures[kDisabledPicture]; }},
      },
  };
  return table;
}

// The font is a structure of its own; layout_compiler and template_dump handle it.
const KindProperties<LabelBlock>& label_properties() {
  static const KindProperties<LabelBlock> table{
      {
          {"text", &LabelBlock::text},
          {"text_colour", &LabelBlock::text_colour, true},
          {"text_effect", &LabelBlock::text_effect},
          {"horizontal_alignment", &LabelBlock::horizontal_alignment},
          {"vertical_alignment", &LabelBlock::vertical_alignment},
          {"word_wrap", &LabelBlock::word_wrap},
      },
      {},
  };
  return table;
}

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

constexpr std::array<std::pair<uint32_t, const char*>, 5> kKindNames{{
    {frame::kWindowKind, "window"},
    {frame::kPictureBoxKind, "PicBox"},
    {frame::kPictureButtonKind, "PicBtn"},
    {frame::kTransparentLabelKind, "TransLabel"},
    {frame::kComObjectKind, "ComObject"},
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
