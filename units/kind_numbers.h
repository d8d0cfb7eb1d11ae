// The kinds this program carries, by kind number: (library number << 16) | position
// of the kind in that library's kind table, both counted from 1.
#pragma once

#include <cstdint>

#include "frame/template_format.h"

namespace units::kind {

constexpr uint32_t number(uint16_t library, uint16_t position) { return uint32_t(library) << 16 | position; }

inline constexpr uint32_t kWindow = frame::kWindowKindNumber;
static_assert(kWindow == number(1, 0x01));
inline constexpr uint32_t kMenuItem = number(1, 0x03);
inline constexpr uint32_t kPictureBox = number(1, 0x06);
inline constexpr uint32_t kPictureButton = number(1, 0x2D);
inline constexpr uint32_t kComObject = number(1, 0x30);
inline constexpr uint32_t kTransparentLabel = number(2, 0x05);

}  // namespace units::kind
