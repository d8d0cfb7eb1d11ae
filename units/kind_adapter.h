#pragma once
// What the frame asks of every unit kind, made once from the kind's property table:
// creation from the template's block, the get and set entry points, the block saved
// again, the icon a stored block holds (kinds with an icon line), a visit of a
// stored block's texts, the interface function and the kind descriptor. A kind
// supplies its class, built on KindUnit (below), which holds its block, its table
// (units/kind_table.h) and its decoder:
//
//   struct Kind : KindUnit<Block, Effect, table, decoder> {
//     Kind(Block, const frame::CreateParams&);
//     bool create_native_window(const frame::CreateParams&);
//     void apply(Effect, int slot);                // after a write is stored
//     void before_write(Effect);                   // optional: before it is stored
//     bool rebuilds_after(Effect) const;           // optional: the unit must be made again
//     std::optional<uint32_t> live_word(int slot) const;  // optional: a word read live
//   };
//
// and its names and state flags, the KindNames beside its table in its block header.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "frame/frame_heap.h"
#include "frame/kind_descriptor.h"
#include "frame/unit_object.h"
#include "units/kind_table.h"

namespace units {

namespace kind_values {

inline void put_text(const std::string& text, frame::PropertyValue& value) {
  value.data = text.data();
  value.length = static_cast<uint32_t>(text.size());
}

inline void put_bytes(const Bytes& bytes, frame::PropertyValue& value) {
  value.data = bytes.empty() ? nullptr : bytes.data();
  value.length = static_cast<uint32_t>(bytes.size());
}

inline void put_font(const std::optional<LogFontA>& font, frame::PropertyValue& value) {
  if (!font) return;
  value.data = &*font;
  value.length = sizeof(LogFontA);
}

inline std::string text_of(const frame::PropertyValue& value) {
  return value.data ? std::string(static_cast<const char*>(value.data), value.length) : std::string();
}

inline Bytes bytes_of(const frame::PropertyValue& value) {
  const auto* bytes = static_cast<const uint8_t*>(value.data);
  return bytes ? Bytes(bytes, bytes + value.length) : Bytes();
}

// A font of any length but a LOGFONTA's leaves the unit on the default font.
inline std::optional<LogFontA> font_of(const frame::PropertyValue& value) {
  if (value.data == nullptr || value.length != sizeof(LogFontA)) return std::nullopt;
  LogFontA font;
  std::memcpy(&font, value.data, sizeof font);
  return font;
}

// The value a property line points at in `block`, as the frame reads it.
template <typename Block, typename Property>
void read_field(const Block& block, const Property& property, frame::PropertyValue& value) {
  std::visit(
      [&](auto field) {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, Bytes& (*)(Block&)>) {
          put_bytes(field(const_cast<Block&>(block)), value);
        } else {
          const auto& stored = block.*field;
          using Value = std::remove_cvref_t<decltype(stored)>;
          if constexpr (std::is_same_v<Value, uint32_t> || std::is_same_v<Value, bool>) value.low = stored;
          if constexpr (std::is_same_v<Value, std::string>) put_text(stored, value);
          if constexpr (std::is_same_v<Value, Bytes>) put_bytes(stored, value);
          if constexpr (std::is_same_v<Value, std::optional<LogFontA>>) put_font(stored, value);
        }
      },
      property.field);
}

// Stores a written value where the line points, a word kept within the line's most.
template <typename Block, typename Property>
void write_field(Block& block, const Property& property, const frame::PropertyValue& value) {
  std::visit(
      [&](auto field) {
        using Field = decltype(field);
        if constexpr (std::is_same_v<Field, Bytes& (*)(Block&)>) {
          field(block) = bytes_of(value);
        } else {
          auto& stored = block.*field;
          using Value = std::remove_cvref_t<decltype(stored)>;
          if constexpr (std::is_same_v<Value, uint32_t>) stored = std::min(value.low, property.most);
          if constexpr (std::is_same_v<Value, bool>) stored = value.low != 0;
          if constexpr (std::is_same_v<Value, std::string>) stored = text_of(value);
          if constexpr (std::is_same_v<Value, Bytes>) stored = bytes_of(value);
          if constexpr (std::is_same_v<Value, std::optional<LogFontA>>) stored = font_of(value);
        }
      },
      property.field);
}

}  // namespace kind_values

// What every kind's class holds the same way: its block, its table and its
// decoder. A kind derives from it and adds the rest of the contract above.
template <typename BlockType, typename EffectType, const auto& table, auto decoder>
class KindUnit : public frame::UnitObject {
 public:
  using Block = BlockType;
  using Effect = EffectType;
  static constexpr const auto& kProperties = table;
  static std::optional<Block> decode(std::span<const uint8_t> data) { return decoder(data); }

  Block& block() { return properties_; }
  const Block& block() const { return properties_; }

 protected:
  explicit KindUnit(Block properties) : properties_(std::move(properties)) {}

  Block properties_;
};

template <typename Kind, const KindNames& names>
class KindAdapter {
 public:
  static constexpr frame::KindDescriptor descriptor() {
    return {names.display_name,    names.english_name,    "",      0, nullptr, names.state_flags, 0, 0, nullptr,
            kPropertyInfos.size(), kPropertyInfos.data(), &answer, 0, nullptr};
  }

 private:
  static constexpr auto& kTable = Kind::kProperties;
  static constexpr size_t kCommonCount = frame::kFirstKindProperty;

  // The frame's own slots first, then the table's lines in slot order.
  static constexpr auto make_property_infos() {
    constexpr frame::PropertyType kCommonTypes[kCommonCount] = {
        frame::kPropertyInteger, frame::kPropertyInteger, frame::kPropertyInteger, frame::kPropertyInteger,
        frame::kPropertyText,    frame::kPropertyBoolean, frame::kPropertyBoolean, frame::kPropertyCursor};
    std::array<frame::PropertyInfo, kCommonCount + std::size(kTable)> infos{};
    for (size_t i = 0; i < infos.size(); ++i) {
      const uint32_t type = i < kCommonCount ? kCommonTypes[i] : kTable[i - kCommonCount].type;
      infos[i] = {"", "", "", type, 0};
    }
    return infos;
  }
  static constexpr auto kPropertyInfos = make_property_infos();

  static frame::UnitObject* create(const frame::CreateParams& params) {
    auto block = Kind::decode({params.data, params.data_length});
    if (!block) return nullptr;
    auto unit = std::make_unique<Kind>(std::move(*block), params);
    if (!unit->create_native_window(params)) return nullptr;
    return unit.release();
  }

  // `index` counts the kind's own properties from 0.
  static const auto* line_of(int index) { return property_at(kTable, index + frame::kFirstKindProperty); }

  static void get(void*, frame::UnitObject* object, int index, frame::PropertyValue* value) {
    const auto* property = line_of(index);
    if (property == nullptr) return;
    const auto& unit = *static_cast<const Kind*>(object);
    if constexpr (requires { unit.live_word(property->slot); }) {
      if (const auto word = unit.live_word(property->slot)) {
        value->low = *word;
        return;
      }
    }
    kind_values::read_field(unit.block(), *property, *value);
  }

  static int set(frame::UnitObject* object, frame::UnitObject*, int index, const frame::PropertyValue* value, int) {
    const auto* property = line_of(index);
    if (property == nullptr) return 0;
    auto& unit = *static_cast<Kind*>(object);
    if constexpr (requires { unit.before_write(property->effect); }) unit.before_write(property->effect);
    kind_values::write_field(unit.block(), *property, *value);
    unit.apply(property->effect, property->slot);
    if constexpr (requires { unit.rebuilds_after(property->effect); }) {
      if (unit.rebuilds_after(property->effect)) return frame::kRebuildUnit;
    }
    return 0;
  }

  static uint8_t* save_block(frame::UnitObject* object) {
    return frame::heap_byte_array(encode(static_cast<const Kind*>(object)->block()));
  }

  // The icon line of the table; only the window has one.
  static constexpr const auto* icon_line() {
    for (const auto& property : kTable)
      if (property.type == frame::kPropertyIcon) return &property;
    return static_cast<decltype(&kTable[0])>(nullptr);
  }

  static uint8_t* icon_data(const uint8_t* data, uint32_t length) {
    const auto block = Kind::decode({data, length});
    if (!block) return nullptr;
    frame::PropertyValue icon;
    kind_values::read_field(*block, *icon_line(), icon);
    return frame::heap_byte_array({static_cast<const uint8_t*>(icon.data), icon.length});
  }

  // Every line that keeps a text in the block is visited, in slot order.
  static uint8_t* visit_texts(const uint8_t* data, uint32_t length, frame::TextVisitor visit, void* context) {
    auto block = Kind::decode({data, length});
    if (!block) return nullptr;
    for (const auto& property : kTable) {
      const auto* field = std::get_if<std::string Kind::Block::*>(&property.field);
      if (field == nullptr) continue;
      std::string& text = (*block).*(*field);
      const char* kept = visit(context, text.c_str());
      if (kept != text.c_str()) text = kept != nullptr ? kept : "";
    }
    return frame::heap_byte_array(encode(*block));
  }

  static void* answer(int request) {
    switch (request) {
      case frame::kRequestCreate:
        return reinterpret_cast<void*>(&create);
      case frame::kRequestGetProperty:
        return reinterpret_cast<void*>(&get);
      case frame::kRequestSetProperty:
        return reinterpret_cast<void*>(&set);
      case frame::kRequestSaveBlock:
        return reinterpret_cast<void*>(&save_block);
      case frame::kRequestIconData:
        return icon_line() != nullptr ? reinterpret_cast<void*>(&icon_data) : nullptr;
      case frame::kRequestTextVisit:
        return reinterpret_cast<void*>(&visit_texts);
      default:
        return nullptr;
    }
  }
};

}  // namespace units
