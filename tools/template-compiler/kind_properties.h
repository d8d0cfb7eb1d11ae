// The stored properties of each unit kind under the names layout files and dumps
// use for them. The compiler and the dumper share these tables, so a property
// reads and prints under one name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "units/label_block.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"
#include "units/window_block.h"

namespace tplc {

template <typename Block>
struct Property {
  const char* name;
  std::variant<uint32_t Block::*, bool Block::*, std::string Block::*> member;
  bool hex = false;  // colours read and print better as 0xAABBGGRR
};

template <typename Block>
struct PictureSlot {
  const char* name;
  std::vector<uint8_t>& (*bytes)(Block&);
};

template <typename Block>
struct KindProperties {
  std::vector<Property<Block>> properties;
  std::vector<PictureSlot<Block>> pictures;
};

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

const KindProperties<units::WindowBlock>& window_properties();
const KindProperties<units::PictureBoxBlock>& picture_box_properties();
const KindProperties<units::PictureButtonBlock>& picture_button_properties();
const KindProperties<units::LabelBlock>& label_properties();

template <typename Entry>
const Entry* find_by_name(const std::vector<Entry>& entries, std::string_view name) {
  for (const Entry& entry : entries)
    if (name == entry.name) return &entry;
  return nullptr;
}

// English kind names as the kind table has them: "window", "PicBox", "PicBtn",
// "TransLabel", "ComObject"; nothing for a kind number the program does not know.
std::optional<uint32_t> kind_number_of(std::string_view name);
const char* kind_name_of(uint32_t kind_number);

}  // namespace tplc
