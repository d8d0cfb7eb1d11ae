#pragma once
// What the picture units' tests ask of their probe program across the process
// boundary: messages sent to the probe's hidden control window, which carries them
// out on the probe's main thread before the send returns.
#include <windows.h>

#include <cstdint>

#include "units/label_block.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"

namespace picture_units {

constexpr wchar_t kControlClass[] = L"picture_units_control";
constexpr wchar_t kWindowClass[] = L"picture_units_window";

// The probe window's units, in the order of layouts/picture-units.json.
enum class Unit : WPARAM { progress = 0, stretched, centred, label, under_label, push, toggle, animation };

// The pictures of tests/wine/pictures the probe can write into a picture slot.
enum class Fixture : LPARAM { none = 0, stripes_jpg, frames_gif, quadrants_png, layered_gif, twice_gif };

// The texts the probe can write into a text slot.
enum class Text : LPARAM { empty = 0, long_text, short_text };

// wparam of the property commands: the unit in the low byte, the property number above.
constexpr WPARAM unit_property(Unit unit, int property) { return static_cast<WPARAM>(unit) | WPARAM(property) << 8; }

enum Command : UINT {
  kWriteInteger = WM_APP + 1,  // lparam: the value
  kReadInteger,                // returns the value
  kWritePicture,               // lparam: a Fixture
  kWriteText,                  // lparam: a Text
  kUnitWindow,                 // wparam: a Unit; returns its window handle
  kDestroyWindow,              // destroys the probe window; its message loop then ends
  kFinish,                     // ends the probe after the window is gone
};

// The kinds' own property numbers the tests use (common ones are frame::CommonProperty).
inline constexpr int kPictureBoxColour = units::slot_of(units::kPictureBoxProperties, "background_colour");
inline constexpr int kPictureBoxPicture = units::slot_of(units::kPictureBoxProperties, "picture");
inline constexpr int kPictureBoxDisplayMode = units::slot_of(units::kPictureBoxProperties, "display_mode");
inline constexpr int kPictureBoxAnimate = units::slot_of(units::kPictureBoxProperties, "animate");
inline constexpr int kLabelText = units::slot_of(units::kLabelProperties, "text");
inline constexpr int kButtonChecked = units::slot_of(units::kPictureButtonProperties, "checked");
inline constexpr int kButtonNormalPicture = units::slot_of(units::kPictureButtonProperties, "normal");
inline constexpr int kButtonHoverPicture = units::slot_of(units::kPictureButtonProperties, "hover");

}  // namespace picture_units
