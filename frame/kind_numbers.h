// Kind numbers name a unit kind as (library number << 16) | position of the kind in
// that library's kind table, both counted from 1.
#pragma once

#include <cstdint>

namespace frame {

constexpr uint32_t kind_number(uint16_t library, uint16_t position) { return uint32_t(library) << 16 | position; }

inline constexpr uint32_t kWindowKind = kind_number(1, 0x01);
inline constexpr uint32_t kMenuItemKind = kind_number(1, 0x03);
inline constexpr uint32_t kPictureBoxKind = kind_number(1, 0x06);
inline constexpr uint32_t kPictureButtonKind = kind_number(1, 0x2D);
inline constexpr uint32_t kComObjectKind = kind_number(1, 0x30);
inline constexpr uint32_t kTransparentLabelKind = kind_number(2, 0x05);

}  // namespace frame
