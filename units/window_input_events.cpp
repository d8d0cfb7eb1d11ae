#include "units/window_input_events.h"

#include <windowsx.h>

#include <string_view>

#include "frame/gbk_wide.h"

namespace units {
namespace {

// The bits of the button and shift arguments the events carry.
enum MouseButtonBit : int32_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftKeyBit : int32_t { kShift = 1, kControl = 2, kAlt = 4 };

bool key_held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The keys held as the message was taken from the queue.
int32_t shift_state() {
  return (key_held(VK_SHIFT) ? kShift : 0) | (key_held(VK_CONTROL) ? kControl : 0) | (key_held(VK_MENU) ? kAlt : 0);
}

int32_t held_buttons(WPARAM keys) {
  return ((keys & MK_LBUTTON) != 0 ? kLeftButton : 0) | ((keys & MK_RBUTTON) != 0 ? kRightButton : 0) |
         ((keys & MK_MBUTTON) != 0 ? kMiddleButton : 0);
}

struct ButtonMessage {
  UINT message;
  InputEvent event;
  MouseButtonBit button;
};

constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, kEventMouseDown, kLeftButton},       {WM_RBUTTONDOWN, kEventMouseDown, kRightButton},
    {WM_MBUTTONDOWN, kEventMouseDown, kMiddleButton},     {WM_LBUTTONUP, kEventMouseUp, kLeftButton},
    {WM_RBUTTONUP, kEventMouseUp, kRightButton},          {WM_MBUTTONUP, kEventMouseUp, kMiddleButton},
    {WM_LBUTTONDBLCLK, kEventDoubleClick, kLeftButton},   {WM_RBUTTONDBLCLK, kEventDoubleClick, kRightButton},
    {WM_MBUTTONDBLCLK, kEventDoubleClick, kMiddleButton},
};

InputEventRecord mouse_event(InputEvent event, int32_t first, POINT point) {
  return {event, {first, point.x, point.y, shift_state()}, 4};
}

InputEventRecord key_event(InputEvent event, WPARAM code) {
  return {event, {static_cast<int32_t>(code), shift_state(), 0, 0}, 2};
}

}  // namespace

POINT client_point_of(const MSG& message) {
  POINT point = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
  if (message.message == WM_MOUSEWHEEL) ScreenToClient(message.hwnd, &point);
  return point;
}

std::vector<InputEventRecord> character_events(WPARAM character) {
  const wchar_t unit = static_cast<wchar_t>(character);
  std::vector<InputEventRecord> events;
  for (const char byte : frame::gbk_from_wide_or_marked(std::wstring_view(&unit, 1)))
    events.push_back(key_event(kEventCharacter, static_cast<uint8_t>(byte)));
  return events;
}

std::vector<InputEventRecord> input_events_of(const MSG& message, POINT point) {
  for (const ButtonMessage& button : kButtonMessages) {
    if (message.message == button.message) return {mouse_event(button.event, button.button, point)};
  }
  switch (message.message) {
    case WM_MOUSEMOVE:
      return {mouse_event(kEventMouseMove, held_buttons(message.wParam), point)};
    case WM_MOUSEWHEEL:
      return {mouse_event(kEventWheel, GET_WHEEL_DELTA_WPARAM(message.wParam), point)};
    case WM_KEYDOWN:
      return {key_event(kEventKeyDown, message.wParam)};
    case WM_KEYUP:
      return {key_event(kEventKeyUp, message.wParam)};
    case WM_CHAR:
      return character_events(message.wParam);
    case WM_SYSKEYDOWN:
      return {key_event(kEventSystemKeyDown, message.wParam)};
    case WM_SYSKEYUP:
      return {key_event(kEventSystemKeyUp, message.wParam)};
    default:
      return {};
  }
}

}  // namespace units
