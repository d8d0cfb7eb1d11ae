#pragma once
// What the picture units' tests ask of their probe program across the process
// boundary: messages sent to the probe's hidden control window, which carries them
// out on the probe's main thread before the send returns.
#include <windows.h>

#include <cstdint>

namespace picture_units {

constexpr wchar_t kControlClass[] = L"picture_units_control";
constexpr wchar_t kWindowClass[] = L"picture_units_window";

// The probe window's units, in the order of layouts/picture-units.json.
enum class Unit : WPARAM { progress = 0, stretched, centred, label, under_label, push, toggle, animation };

// The pictures of tests/wine/pictures the probe can write into a picture slot.
enum class Fixture : LPARAM { none = 0, stripes_jpg, frames_gif, quadrants_png };

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
enum KindProperty : int {
  kPictureBoxPicture = 10,
  kPictureBoxDisplayMode = 11,
  kPictureBoxAnimate = 12,
  kLabelText = 8,
  kButtonChecked = 9,
  kButtonNormalPicture = 10,
};

}  // namespace picture_units
