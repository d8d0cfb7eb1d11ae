// How layout files and dumps hold each kind's properties, read from the kinds' own
// tables (units/kind_table.h), so a property reads and prints under one name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "units/kind_table.h"

#include "units/com_object_block.h"
#include "units/label_block.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"
#include "units/window_block.h"

namespace tplc {

// Layout files keep a unit's words, flags and texts under "properties", its byte
// arrays under "pictures", and a label's font as an object of its own.
enum class LayoutSection { properties, pictures, font };

template <typename Block>
constexpr LayoutSection section_of(const units::PropertyField<Block>& field) {
  if (std::holds_alternative<units::Bytes Block::*>(field) || std::holds_alternative<units::Bytes& (*)(Block&)>(field))
    return LayoutSection::pictures;
  if (std::holds_alternative<std::optional<units::LogFontA> Block::*>(field)) return LayoutSection::font;
  return LayoutSection::properties;
}

// The line of a kind's table that `section` of a layout calls `name`, or null.
template <typename Table>
auto find_property(const Table& table, LayoutSection section, std::string_view name) -> decltype(&table[0]) {
  for (const auto& property : table)
    if (section_of(property.field) == section && name == property.name) return &property;
  return nullptr;
}

// The byte array a "pictures" line points at.
template <typename Block>
units::Bytes& bytes_at(Block& block, const units::PropertyField<Block>& field) {
  if (const auto* accessor = std::get_if<units::Bytes& (*)(Block&)>(&field)) return (*accessor)(block);
  return block.*std::get<units::Bytes Block::*>(field);
}

// The label's LOGFONTA apart from its face name, which is text. Fields are reached by
// offset, so that one table serves the 32-bit and the byte-wide ones.
struct FontField {
  const char* name;
  size_t offset;
  size_t size;  // 4: a signed 32-bit field, 1: a byte
};

int32_t font_field_value(const units::LogFontA& font, const FontField& field);
void set_font_field(units::LogFontA& font, const FontField& field, int32_t value);
const std::vector<FontField>& font_fields();

template <typename Entry>
const Entry* find_by_name(const std::vector<Entry>& entries, std::string_view name) {
  for (const Entry& entry : entries)
    if (name == entry.name) return &entry;
  return nullptr;
}

// English kind names as the kind table has them: "window", "PicBox", "PicBtn",
// "TransLabel", "ComObject", and "MenuItem" for menu items, which have no kind of
// their own; nothing for a kind number the program does not know.
std::optional<uint32_t> kind_number_of(std::string_view name);
const char* kind_name_of(uint32_t kind_number);

}  // namespace tplc
