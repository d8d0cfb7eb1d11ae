#include "units/unit_libraries.h"

#include <array>

#include "units/kind_numbers.h"

namespace units {
namespace {

// Linked into the program, these units reach the frame through its typed calls
// (frame/frame_services.h), so the entry point the frame hands libraries at
// start-up is not kept; the frame's notifications need no answer.
intptr_t library_notify(int, intptr_t, intptr_t) { return 0; }

constexpr size_t position_of(uint32_t kind_number) { return (kind_number & 0xFFFF) - 1; }

template <size_t N>
constexpr std::array<const frame::KindDescriptor*, N> kind_table(
    std::initializer_list<std::pair<uint32_t, const frame::KindDescriptor*>> kinds) {
  std::array<const frame::KindDescriptor*, N> table{};
  for (const auto& [number, descriptor] : kinds) table[position_of(number)] = descriptor;
  return table;
}

// Positions not listed hold kinds this program does not carry.
const auto kSystemKinds = kind_table<position_of(kind::kComObject) + 1>({
    {kind::kWindow, &kWindowKind},
    {kind::kPictureBox, &kPictureBoxKind},
    {kind::kPictureButton, &kPictureButtonKind},
    {kind::kComObject, &kComObjectKind},
});

const auto kLabelKinds = kind_table<position_of(kind::kTransparentLabel) + 1>({
    {kind::kTransparentLabel, &kTransparentLabelKind},
});

}  // namespace

const frame::UnitLibrary kSystemUnitLibrary = {kSystemKinds.data(), static_cast<uint32_t>(kSystemKinds.size()),
                                               library_notify};
const frame::UnitLibrary kLabelUnitLibrary = {kLabelKinds.data(), static_cast<uint32_t>(kLabelKinds.size()),
                                              library_notify};

}  // namespace units
