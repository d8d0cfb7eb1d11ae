// Unit identifiers: category in bits 28-31, class in bits 24-27, serial in bits 0-23.
// Windows are 0x52xxxxxx, a window's own record 0x06xxxxxx, units 0x16xxxxxx and
// menu items 0x26xxxxxx.
#pragma once

#include <cstdint>

namespace frame {

using UnitId = uint32_t;

constexpr uint32_t id_category(UnitId id) { return id >> 28; }
constexpr uint32_t id_class(UnitId id) { return (id >> 24) & 0xF; }
constexpr uint32_t id_serial(UnitId id) { return id & 0xFFFFFF; }

constexpr bool is_valid_id(UnitId id) { return id_serial(id) != 0 && id_class(id) != 0; }
constexpr bool is_window_id(UnitId id) { return id_class(id) == 2; }
constexpr bool is_window_record_id(UnitId id) { return id_class(id) == 6 && id_category(id) == 0; }
constexpr bool is_menu_item_id(UnitId id) { return id_class(id) == 6 && id_category(id) == 2; }

}  // namespace frame
