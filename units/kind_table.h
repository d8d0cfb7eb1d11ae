#pragma once
// A unit kind's own properties as one table, beside the kind's block: a line per
// property, in slot order, giving the slot the frame numbers it by, the name layout
// files and dumps use, its type, where its value lives in the block, the largest
// word a write keeps, and what a write does to the live unit. The kind's runtime
// (units/kind_adapter.h), the layout compiler and the slot constants of the
// installer and the tests all read these tables; nothing else numbers a slot.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "frame/properties.h"
#include "frame/property_types.h"
#include "frame/unit_face.h"
#include "units/log_font.h"

namespace units {

using Bytes = std::vector<uint8_t>;

// What a kind is called: in the designer's language and in layout files and dumps,
// and the state flags of its descriptor.
struct KindNames {
  const char* display_name;  // GBK in the installer
  const char* english_name;
  uint32_t state_flags;
};

// Where a property's value lives in the block: a member, or, for an element of an
// array member, a function that reaches it.
template <typename Block>
using PropertyField = std::variant<uint32_t Block::*, bool Block::*, std::string Block::*, Bytes Block::*,
                                   std::optional<LogFontA> Block::*, Bytes& (*)(Block&)>;

inline constexpr uint32_t kAnyWord = std::numeric_limits<uint32_t>::max();

// `Effect` is the kind's own enumeration of what a write does; its 0 does nothing
// beyond storing the value.
template <typename Block, typename Effect>
struct KindProperty {
  int slot;
  const char* name;
  frame::PropertyType type;
  PropertyField<Block> field;
  uint32_t most = kAnyWord;  // a larger word written is kept as this
  Effect effect{};
};

// The slot of the property called `name`; a name no line has does not compile
// where a constant is asked for.
template <typename Table>
constexpr int slot_of(const Table& table, std::string_view name) {
  for (const auto& property : table)
    if (name == property.name) return property.slot;
  throw "no property of that name";
}

// The line of `slot`, or null.
template <typename Table>
constexpr auto property_at(const Table& table, int slot) -> decltype(&table[0]) {
  for (const auto& property : table)
    if (property.slot == slot) return &property;
  return nullptr;
}

// Slots run on from the frame's common ones without a gap, so a slot is also the
// line's place in the frame's list of the kind's properties.
template <typename Table>
constexpr bool slots_follow_the_common_ones(const Table& table) {
  int expected = frame::kFirstKindProperty;
  for (const auto& property : table)
    if (property.slot != expected++) return false;
  return true;
}

// The slot of `name` typed for frame::Unit by where the line's value lives: a word
// or flag, a text, or a byte array. A name no line has, or a value of another
// type, does not compile.
template <typename Value, typename Block>
constexpr bool holds_value_of(const PropertyField<Block>& field) {
  if constexpr (std::is_same_v<Value, int32_t>) return std::holds_alternative<uint32_t Block::*>(field);
  if constexpr (std::is_same_v<Value, bool>) return std::holds_alternative<bool Block::*>(field);
  if constexpr (std::is_same_v<Value, const char*>) return std::holds_alternative<std::string Block::*>(field);
  if constexpr (std::is_same_v<Value, frame::ByteArray>)
    return std::holds_alternative<Bytes Block::*>(field) || std::holds_alternative<Bytes& (*)(Block&)>(field);
  return false;
}

template <typename Value, typename Table>
constexpr frame::Slot<Value> typed_slot(const Table& table, std::string_view name) {
  const int slot = slot_of(table, name);
  if (!holds_value_of<Value>(property_at(table, slot)->field)) throw "the property holds another type of value";
  return {slot};
}

// Colours read and print better as 0xAABBGGRR.
constexpr bool reads_as_hex(frame::PropertyType type) {
  return type == frame::kPropertyColour || type == frame::kPropertyBackgroundColour;
}

}  // namespace units
