#pragma once
// The mouse and keyboard events every unit of a window raises, read from the
// messages the window pre-translates. Numbers and arguments (all ints):
//
//   -1  mouse button pressed    button, x, y, shift
//   -2  mouse button released   button, x, y, shift
//   -3  double click            button, x, y, shift
//   -4  mouse moved             buttons held, x, y, shift
//   -5  wheel turned            distance (120 a notch, away from the user positive), x, y, shift
//   -6  key pressed             key code, shift
//   -9  key released            key code, shift
//   -10 character typed         character code (a GBK byte), shift
//   -11 system key pressed      key code, shift (keys with Alt held, and F10)
//   -12 system key released     key code, shift
//
// Buttons: 1 left, 2 right, 4 middle (held buttons add up); shift: 1 Shift, 2 Ctrl,
// 4 Alt; x and y in the client coordinates of the unit the message is for (the one
// under the pointer, or holding the mouse capture; for the wheel, the one the system
// sends it to: the focused one, or on newer systems the one under the pointer).
#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

namespace units {

enum InputEvent : int {
  kEventMouseDown = -1,
  kEventMouseUp = -2,
  kEventDoubleClick = -3,
  kEventMouseMove = -4,
  kEventWheel = -5,
  kEventKeyDown = -6,
  kEventKeyUp = -9,
  kEventCharacter = -10,
  kEventSystemKeyDown = -11,
  kEventSystemKeyUp = -12,
};

struct InputEventRecord {
  int event;
  std::array<int32_t, 4> arguments;
  size_t argument_count;
};

// The events a message raises, with `point` (the pointer in the target window's
// client coordinates) for the mouse; none for any other message. A typed
// character, UTF-16 from the wide message loop, is one event per byte of its GBK
// form, lead byte first, as a Chinese system's ANSI windows are sent it; a
// character GBK cannot hold is typed as '?'.
std::vector<InputEventRecord> input_events_of(const MSG& message, POINT point);

// Where a mouse message puts the pointer, in the client coordinates of its target
// window (the wheel's message carries screen coordinates).
POINT client_point_of(const MSG& message);

}  // namespace units
