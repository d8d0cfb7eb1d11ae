#include "units/unit_libraries.h"

#include <array>

#include "units/kind_numbers.h"

namespace units {
namespace {

constexpr int kLibraryAttach = 2;

frame::NotifyEntry g_frame_notify = nullptr;

intptr_t library_notify(int request, intptr_t /*first*/, intptr_t second) {
  if (request == kLibraryAttach) g_frame_notify = reinterpret_cast<frame::NotifyEntry>(second);
  return 0;
}

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
});

const auto kLabelKinds = kind_table<position_of(kind::kTransparentLabel) + 1>({
    {kind::kTransparentLabel, &kTransparentLabelKind},
});

}  // namespace

const frame::UnitLibrary kSystemUnitLibrary = {kSystemKinds.data(), static_cast<uint32_t>(kSystemKinds.size()),
                                               library_notify};
const frame::UnitLibrary kLabelUnitLibrary = {kLabelKinds.data(), static_cast<uint32_t>(kLabelKinds.size()),
                                              library_notify};

intptr_t notify_frame(int request, intptr_t first, intptr_t second) {
  return g_frame_notify != nullptr ? g_frame_notify(request, first, second) : 0;
}

}  // namespace units
