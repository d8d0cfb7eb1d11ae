#include "tools/template-compiler/template_dump.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/template-compiler/gbk_text.h"
#include "tools/template-compiler/kind_properties.h"
#include "units/kind_numbers.h"

namespace tplc {

namespace {

// A text that is not valid GBK still shows, its bytes above 0x7F as \xNN.
std::string readable(const std::string& gbk) {
  if (auto utf8 = gbk_to_utf8(gbk)) return *utf8;
  std::string escaped;
  for (unsigned char c : gbk) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    escaped += c < 0x80 ? std::string(1, char(c)) : std::string(hex);
  }
  return escaped;
}

const char* byte_format(std::span<const uint8_t> bytes) {
  const auto starts_with = [&](std::initializer_list<uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
  };
  if (starts_with({0xFF, 0xD8})) return "jpeg";
  if (starts_with({0x89, 'P', 'N', 'G'})) return "png";
  if (starts_with({'G', 'I', 'F', '8'})) return "gif";
  if (starts_with({'B', 'M'})) return "bmp";
  if (starts_with({0, 0, 1, 0})) return "ico";
  if (starts_with({0, 0, 2, 0})) return "cur";
  if (starts_with({'R', 'I', 'F', 'F'})) return "riff";
  if (starts_with({'M', 'T', 'h', 'd'})) return "midi";
  if (starts_with({0x0A})) return "pcx";
  return "unknown";
}

Json describe_bytes(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  return Json{{"bytes", bytes.size()}, {"format", byte_format(bytes)}};
}

template <typename Block, typename Property>
Json property_value(const Property& property, const Block& block) {
  return std::visit(
      [&](auto member) -> Json {
        if constexpr (std::is_member_object_pointer_v<decltype(member)>) {
          const auto& value = block.*member;
          using Value = std::remove_cvref_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, std::string>) return readable(value);
          if constexpr (std::is_same_v<Value, uint32_t>) {
            if (units::reads_as_hex(property.type)) return hex_word(value);
          }
          if constexpr (std::is_same_v<Value, uint32_t> || std::is_same_v<Value, bool>) return value;
        }
        return nullptr;
      },
      property.field);
}

Json font_value(const units::LogFontA& font) {
  Json result = Json::object();
  for (const auto& field : font_fields()) result[field.name] = font_field_value(font, field);
  result["face"] = readable(std::string(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName)));
  return result;
}

template <typename Block, typename Table>
Json describe_block(Block& block, const Table& table) {
  Json properties = Json::object();
  Json pictures = Json::object();
  for (const auto& property : table) {
    switch (section_of(property.field)) {
      case LayoutSection::properties:
        properties[property.name] = property_value(property, block);
        break;
      case LayoutSection::pictures:
        pictures[property.name] = describe_bytes(bytes_at(block, property.field));
        break;
      case LayoutSection::font: {
        const auto& font = block.*std::get<std::optional<units::LogFontA> Block::*>(property.field);
        properties[property.name] = font ? font_value(*font) : Json(nullptr);
        break;
      }
    }
  }
  Json result{{"properties", properties}};
  if (!pictures.empty()) result["pictures"] = pictures;
  return result;
}

template <typename Block, typename Table>
Json describe_kind_data(std::optional<Block> block, const Table& table, std::span<const uint8_t> data) {
  if (!block) return Json{{"undecodable", true}, {"kind_data", describe_bytes(data)}};
  return describe_block(*block, table);
}

Json kind_data_of(const frame::UnitRecord& record) {
  const auto data = record.kind_data;
  switch (record.kind) {
    case units::kind::kWindow:
      return describe_kind_data(units::decode_window_block(data), units::kWindowProperties, data);
    case units::kind::kPictureBox:
      return describe_kind_data(units::decode_picture_box_block(data), units::kPictureBoxProperties, data);
    case units::kind::kPictureButton:
      return describe_kind_data(units::decode_picture_button_block(data), units::kPictureButtonProperties, data);
    case units::kind::kTransparentLabel:
      return describe_kind_data(units::decode_label_block(data), units::kLabelProperties, data);
    case units::kind::kComObject:
      return describe_kind_data(units::decode_com_object_block(data), units::kComObjectProperties, data);
  }
  return Json{{"kind_data", describe_bytes(data)}};
}

Json kind_of(uint32_t kind) {
  if (const char* name = kind_name_of(kind)) return name;
  return hex_word(kind);
}

Json handler_of(uint32_t offset) {
  if (offset == frame::kNoHandler) return nullptr;
  return hex_word(offset);
}

template <size_t N>
bool all_zero(const std::array<uint8_t, N>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

template <size_t N>
std::string hex_bytes(const std::array<uint8_t, N>& bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", b);
    text += hex;
  }
  return text;
}

// Fields the frame fills at run time or leaves reserved show only when the data sets them.
void add_unusual_fields(const frame::UnitRecord& record, Json& out) {
  if (record.cursor_slot != 0) out["cursor_slot"] = hex_word(record.cursor_slot);
  if (!record.page_list.empty()) {
    Json pages = Json::array();
    for (uint32_t entry : record.page_list) pages.push_back(hex_word(entry));
    out["page_list"] = pages;
  }
  if (!record.cursor_picture.empty()) out["cursor_picture"] = describe_bytes(record.cursor_picture);
  if (!record.tag.empty()) out["tag"] = readable(record.tag);
  if (record.reserved_word != 0) out["reserved_word"] = hex_word(record.reserved_word);
  if (!all_zero(record.reserved2)) out["reserved2"] = hex_bytes(record.reserved2);
}

Json describe_menu_item(const frame::UnitRecord& record, Json out) {
  if (!all_zero(record.menu_reserved)) out["menu_reserved"] = hex_bytes(record.menu_reserved);
  out["text"] = readable(record.menu_text);
  out["handler"] = handler_of(record.menu_handler_offset);
  return out;
}

Json describe_unit(const frame::UnitRecord& record, Json out) {
  out["left"] = record.left;
  out["top"] = record.top;
  out["width"] = record.width;
  out["height"] = record.height;
  out["parent"] = hex_word(record.parent);
  out["flags"] = hex_word(record.flags);
  out["visible"] = record.visible();
  out["disabled"] = record.disabled();
  out["tab_stop"] = record.tab_stop();
  out["tab_order"] = record.tab_order;
  Json bindings = Json::array();
  for (const auto& binding : record.bindings)
    bindings.push_back(
        {{"event", static_cast<int32_t>(binding.event)}, {"handler", handler_of(binding.handler_offset)}});
  out["bindings"] = bindings;
  add_unusual_fields(record, out);
  out.update(kind_data_of(record));
  return out;
}

Json describe_record(const frame::UnitRecord& record) {
  Json out{{"id", hex_word(record.id)}, {"kind", kind_of(record.kind)}};
  if (record.link != 0) out["link"] = hex_word(record.link);
  out["name"] = readable(record.name);
  if (!record.second_name.empty()) out["second_name"] = readable(record.second_name);
  if (!all_zero(record.reserved1)) out["reserved1"] = hex_bytes(record.reserved1);
  if (record.object_slot != 0) out["object_slot"] = hex_word(record.object_slot);
  if (record.is_menu_item()) return describe_menu_item(record, std::move(out));
  return describe_unit(record, std::move(out));
}

Json describe_window(const frame::WindowSection& window) {
  Json records = Json::array();
  for (const auto& record : window.records) records.push_back(describe_record(record));
  return Json{
      {"id", hex_word(window.id)},       {"section_tag", window.tag},       {"section_flags", hex_word(window.flags)},
      {"text1", readable(window.text1)}, {"text2", readable(window.text2)}, {"records", records}};
}

}  // namespace

Json dump_template(const frame::WindowTemplate& templ) {
  Json windows = Json::array();
  for (const auto& window : templ.windows) windows.push_back(describe_window(window));
  return Json{{"windows", windows}};
}

}  // namespace tplc
