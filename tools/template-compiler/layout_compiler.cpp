#include "tools/template-compiler/layout_compiler.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <set>
#include <string>

#include "frame/template_format.h"
#include "frame/unit_id.h"
#include "tools/template-compiler/kind_properties.h"
#include "units/kind_numbers.h"

namespace tplc {

namespace {

using Handlers = std::map<std::string, uint32_t>;

// Handlers are laid out as a table of 8-byte jump slots.
Handlers read_handlers(const Json& layout) {
  Handlers handlers;
  for (const std::string& name : handler_names(layout)) {
    if (!handlers.emplace(name, static_cast<uint32_t>(8 * handlers.size())).second) {
      Context("layout").fail("handlers", "names " + name + " twice");
    }
  }
  return handlers;
}

template <typename Block>
void read_property(const Json& value, const units::PropertyField<Block>& property_field, Block& block,
                   const std::string& field, const Context& context) {
  std::visit(
      [&](auto member) {
        if constexpr (std::is_member_object_pointer_v<decltype(member)>) {
          using Value = std::remove_reference_t<decltype(block.*member)>;
          if constexpr (std::is_same_v<Value, uint32_t>) block.*member = context.word(value, field);
          if constexpr (std::is_same_v<Value, bool>) block.*member = context.flag(value, field);
          if constexpr (std::is_same_v<Value, std::string>) block.*member = context.gbk_text(value, field);
        }
      },
      property_field);
}

template <typename Block, typename Table>
void read_properties(const Json& properties, const Table& table, Block& block, const Context& context) {
  for (const auto& item : properties.items()) {
    const auto* property = find_property(table, LayoutSection::properties, item.key());
    if (property == nullptr) context.fail("properties." + item.key(), "not a property of this kind");
    read_property(item.value(), property->field, block, "properties." + item.key(), context);
  }
}

template <typename Block, typename Table>
void read_pictures(const Json& pictures, const Table& table, Block& block, const Context& context,
                   const std::filesystem::path& folder) {
  if (!pictures.is_object()) context.fail("pictures", "must map slot names to files");
  for (const auto& item : pictures.items()) {
    const auto* slot = find_property(table, LayoutSection::pictures, item.key());
    if (slot == nullptr) context.fail("pictures." + item.key(), "not a picture slot of this kind");
    if (!item.value().is_null())
      bytes_at(block, slot->field) = context.file_bytes(item.value(), "pictures." + item.key(), folder);
  }
}

units::LogFontA read_font(const Json& font, const Context& context) {
  units::LogFontA result{};
  for (const auto& item : font.items()) {
    const std::string field = "properties.font." + item.key();
    if (item.key() == "face") {
      const std::string face = context.gbk_text(item.value(), field);
      if (face.size() >= sizeof result.lfFaceName) context.fail(field, "longer than 31 GBK bytes");
      face.copy(result.lfFaceName, face.size());
      continue;
    }
    const auto* font_field = find_by_name(font_fields(), item.key());
    if (font_field == nullptr) context.fail(field, "not a LOGFONTA field");
    const int32_t value =
        font_field->size == 1 ? context.byte(item.value(), field) : context.signed_word(item.value(), field);
    set_font_field(result, *font_field, value);
  }
  return result;
}

template <typename Block, typename Table>
std::vector<uint8_t> encode_kind_data(const Json& unit, const Table& table, const Context& context,
                                      const std::filesystem::path& folder) {
  Block block;
  Json properties = unit.value("properties", Json::object());
  if (!properties.is_object()) context.fail("properties", "must be an object");
  if constexpr (std::is_same_v<Block, units::LabelBlock>) {
    if (const Json* font = member(properties, "font"); font != nullptr && !font->is_null()) {
      if (!font->is_object()) context.fail("properties.font", "must be an object or null");
      block.font = read_font(*font, context);
    }
    properties.erase("font");
  }
  read_properties(properties, table, block, context);
  if (const Json* pictures = member(unit, "pictures")) read_pictures(*pictures, table, block, context, folder);
  return units::encode(block);
}

// Kind data spelt out as hex digits, for kinds whose tables the compiler lacks.
std::vector<uint8_t> raw_kind_data(const Json& digits, const Context& context) {
  const std::string text = digits.is_string() ? digits.get<std::string>() : "-";
  const auto is_digit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (text.size() % 2 != 0 || !std::all_of(text.begin(), text.end(), is_digit))
    context.fail("kind_data", "must be an even number of hex digits");
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < text.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::vector<uint8_t> kind_data(uint32_t kind, const Json& unit, const Context& context,
                               const std::filesystem::path& folder) {
  if (const Json* raw = member(unit, "kind_data")) return raw_kind_data(*raw, context);
  switch (kind) {
    case units::kind::kWindow:
      return encode_kind_data<units::WindowBlock>(unit, units::kWindowProperties, context, folder);
    case units::kind::kPictureBox:
      return encode_kind_data<units::PictureBoxBlock>(unit, units::kPictureBoxProperties, context, folder);
    case units::kind::kPictureButton:
      return encode_kind_data<units::PictureButtonBlock>(unit, units::kPictureButtonProperties, context, folder);
    case units::kind::kTransparentLabel:
      return encode_kind_data<units::LabelBlock>(unit, units::kLabelProperties, context, folder);
    case units::kind::kComObject:
      return encode_kind_data<units::ComObjectBlock>(unit, units::kComObjectProperties, context, folder);
  }
  context.fail("kind", "the layout compiler cannot build this kind");
}

// A handler name's slot offset; null is no handler.
uint32_t handler_offset(const Json& handler, const Handlers& handlers, const Context& context, std::string_view field) {
  if (handler.is_null()) return frame::kNoHandler;
  const auto found = handler.is_string() ? handlers.find(handler.get<std::string>()) : handlers.end();
  if (found == handlers.end()) context.fail(field, "not in the handlers list");
  return found->second;
}

std::vector<frame::EventBinding> read_bindings(const Json& bindings, const Handlers& handlers, const Context& context) {
  if (!bindings.is_array()) context.fail("bindings", "must be a list");
  std::vector<frame::EventBinding> result;
  for (const Json& binding : bindings) {
    context.allow_only(binding, "bindings", {"event", "handler"});
    const Json& handler = context.required(binding, "handler");
    result.push_back({context.word(context.required(binding, "event"), "bindings.event"),
                      handler_offset(handler, handlers, context, "bindings.handler")});
  }
  return result;
}

// Pages as lists of unit ids, stored one after another with a 0 between two pages.
std::vector<uint32_t> read_pages(const Json& pages, const Context& context) {
  if (!pages.is_array()) context.fail("pages", "must be a list of pages, each a list of unit ids");
  std::vector<uint32_t> list;
  for (const Json& page : pages) {
    if (!page.is_array()) context.fail("pages", "must be a list of pages, each a list of unit ids");
    if (!list.empty()) list.push_back(0);
    for (const Json& id : page) list.push_back(context.word(id, "pages"));
  }
  return list;
}

uint32_t read_flags(const Json& unit, const Context& context) {
  const auto bit = [&](const char* field, uint32_t value) {
    const Json* member_value = member(unit, field);
    return member_value != nullptr && context.flag(*member_value, field) ? value : 0u;
  };
  return bit("visible", 1) | bit("disabled", 2) | bit("tab_stop", 4);
}

// A kind by its English name, or by its number for a kind of another library.
uint32_t read_kind(const Json& kind, const Context& context) {
  if (kind.is_string() && kind.get<std::string>().rfind("0x", 0) == 0) return context.word(kind, "kind");
  const auto number = kind_number_of(kind.is_string() ? kind.get<std::string>() : "");
  if (!number) context.fail("kind", "unknown kind");
  return *number;
}

std::string describe_unit(const Json& unit) {
  std::string where = "unit";
  if (const Json* id = member(unit, "id"); id != nullptr && id->is_string()) where += " " + id->get<std::string>();
  if (const Json* name = member(unit, "name"); name != nullptr && name->is_string())
    where += " (" + name->get<std::string>() + ")";
  return where;
}

class LayoutCompiler {
 public:
  LayoutCompiler(const Json& layout, std::filesystem::path folder)
      : handlers_(read_handlers(layout)), folder_(std::move(folder)) {}

  frame::WindowSection window(const Json& window) {
    const Context context("window");
    ids_.clear();
    context.allow_only(window, "", {"id", "section_tag", "section_flags", "text1", "text2", "note", "units"});
    frame::WindowSection section;
    section.id = context.word(context.required(window, "id"), "id");
    if (!frame::is_window_id(section.id)) context.fail("id", "not a window id (0x52xxxxxx)");
    section.tag = context.word(context.required(window, "section_tag"), "section_tag");
    section.flags = context.word(context.required(window, "section_flags"), "section_flags");
    section.text1 = context.gbk_text(window.value("text1", Json("")), "text1");
    section.text2 = context.gbk_text(window.value("text2", Json("")), "text2");
    const Json& units = context.required(window, "units");
    if (!units.is_array() || units.empty()) context.fail("units", "must list the window record and its units");
    for (const Json& unit : units) section.records.push_back(record(unit, section.records.empty()));
    return section;
  }

 private:
  frame::UnitRecord record(const Json& unit, bool is_window_record) {
    const Context context(describe_unit(unit));
    frame::UnitRecord record;
    record.id = context.word(context.required(unit, "id"), "id");
    if (!frame::is_valid_id(record.id)) context.fail("id", "not a unit id the layout compiler builds");
    if (!ids_.insert(record.id).second) context.fail("id", "used twice");
    const auto kind_number = read_kind(context.required(unit, "kind"), context);
    if ((kind_number == units::kind::kWindow) != is_window_record)
      context.fail("kind", "the window record comes first and only there");
    if ((kind_number == units::kind::kMenuItem) != frame::is_menu_item_id(record.id))
      context.fail("kind", "menu items, and only they, have ids 0x26xxxxxx");
    record.kind = kind_number;
    if (frame::is_menu_item_id(record.id)) {
      read_menu_item(unit, context, record);
      return record;
    }
    context.allow_only(unit, "",
                       {"id",    "name",   "second_name", "role",       "kind",     "link",     "left",      "top",
                        "width", "height", "parent",      "visible",    "disabled", "tab_stop", "tab_order", "tag",
                        "group", "note",   "pages",       "properties", "pictures", "bindings", "kind_data"});
    read_placement(unit, context, record);
    if (const Json* pages = member(unit, "pages")) record.page_list = read_pages(*pages, context);
    if (const Json* bindings = member(unit, "bindings")) record.bindings = read_bindings(*bindings, handlers_, context);
    record.kind_data = kind_data_.emplace_back(kind_data(record.kind, unit, context, folder_));
    return record;
  }

  // A menu item keeps its text and its one handler for whoever builds the menu.
  void read_menu_item(const Json& unit, const Context& context, frame::UnitRecord& record) const {
    context.allow_only(unit, "", {"id", "name", "second_name", "role", "kind", "note", "text", "handler"});
    record.name = context.gbk_text(context.required(unit, "name"), "name");
    record.second_name = context.gbk_text(unit.value("second_name", Json("")), "second_name");
    record.menu_text = context.gbk_text(unit.value("text", Json("")), "text");
    record.menu_handler_offset = handler_offset(unit.value("handler", Json()), handlers_, context, "handler");
  }

  static void read_placement(const Json& unit, const Context& context, frame::UnitRecord& record) {
    record.name = context.gbk_text(context.required(unit, "name"), "name");
    record.second_name = context.gbk_text(unit.value("second_name", Json("")), "second_name");
    record.tag = context.gbk_text(unit.value("tag", Json("")), "tag");
    record.link = context.word(unit.value("link", Json(0)), "link");
    record.parent = context.word(unit.value("parent", Json(0)), "parent");
    record.left = context.signed_word(context.required(unit, "left"), "left");
    record.top = context.signed_word(context.required(unit, "top"), "top");
    record.width = context.signed_word(context.required(unit, "width"), "width");
    record.height = context.signed_word(context.required(unit, "height"), "height");
    record.flags = read_flags(unit, context);
    record.tab_order = context.word(unit.value("tab_order", Json(0)), "tab_order");
  }

  Handlers handlers_;
  std::filesystem::path folder_;
  std::set<uint32_t> ids_;
  std::deque<std::vector<uint8_t>> kind_data_;  // the records' kind_data views point in here
};

}  // namespace

std::vector<std::string> handler_names(const Json& layout) {
  const Context context("layout");
  std::vector<std::string> names;
  const Json* list = member(layout, "handlers");
  if (list == nullptr) return names;
  if (!list->is_array()) context.fail("handlers", "must be a list of names");
  for (const Json& name : *list) {
    if (!name.is_string()) context.fail("handlers", "must be a list of names");
    names.push_back(name.get<std::string>());
  }
  return names;
}

std::vector<const Json*> window_layouts(const Json& layout) {
  const Context context("layout");
  const Json* one = member(layout, "window");
  const Json* several = member(layout, "windows");
  if ((one == nullptr) == (several == nullptr)) context.fail("window", "give either window or windows");
  if (one != nullptr) return {one};
  if (!several->is_array() || several->empty()) context.fail("windows", "must list one window or more");
  std::vector<const Json*> windows;
  for (const Json& window : *several) windows.push_back(&window);
  return windows;
}

std::vector<uint8_t> compile_layout(const Json& layout, const std::filesystem::path& picture_folder) {
  Context("layout").allow_only(layout, "", {"note", "handlers", "window", "windows"});
  LayoutCompiler compiler(layout, picture_folder);
  frame::WindowTemplate templ;
  std::set<uint32_t> window_ids;
  for (const Json* window : window_layouts(layout)) {
    templ.windows.push_back(compiler.window(*window));
    if (!window_ids.insert(templ.windows.back().id).second) Context("window").fail("id", "used twice");
  }
  return frame::write_template(templ);
}

}  // namespace tplc
