#pragma once
// What every unit kind does the same way with its native window.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "frame/exception_barrier.h"
#include "frame/gdi_scopes.h"
#include "frame/unit_object.h"

namespace units {

// Registers a class of ours once: redrawn on resize, double clicks, arrow cursor, and
// no background brush (every kind paints its own background). The classes are
// Unicode, so that texts reach their windows whole on any system code page.
bool register_unit_class(const wchar_t* name, WNDPROC procedure);

// A stored colour as GDI wants it: 0xFF000000 stands for the system button face.
COLORREF stored_colour(uint32_t colour);

// Sets a window's text from a GBK text through the wide API, so that it reads the
// same whatever code page Windows runs with.
void set_window_text_from_gbk(HWND hwnd, std::string_view text);

// The object a window procedure serves: taken from CreateWindowEx's parameter on
// WM_NCCREATE and kept in the window's user data from then on.
template <typename Object>
Object* object_of_window(HWND hwnd, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<Object*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
  }
  return reinterpret_cast<Object*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Forgets the object once its window is going, so no late message reaches it.
inline void forget_object_of_window(HWND hwnd) { SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); }

// The window procedure of a child unit kind. What every unit does the same way is
// done here: binding the object to its window, answering the frame's question for
// the object behind a window, leaving the background to the paint code, painting
// through the kind's one paint routine (paint_into, where it has one) for the
// screen and for a context handed in, and letting go when the window goes. Every
// other message goes to Unit::handle, which answers or returns DefWindowProcW's
// answer.
template <typename Unit>
LRESULT CALLBACK unit_window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return frame::guarded([&]() -> LRESULT {
    auto* self = object_of_window<Unit>(hwnd, message, lparam);
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_NCCREATE:
        self->bind_window(hwnd);
        break;
      case frame::kMsgObjectOfWindow:
        return reinterpret_cast<LRESULT>(static_cast<frame::UnitObject*>(self));
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        if constexpr (requires { self->paint_into(HDC{}); }) {
          const frame::PaintScope paint(hwnd);
          self->paint_into(paint.dc());
          return 0;
        }
        break;
      case WM_PRINTCLIENT:
        if constexpr (requires { self->paint_into(HDC{}); }) {
          self->paint_into(reinterpret_cast<HDC>(wparam));
          return 0;
        }
        break;
      case WM_NCDESTROY:
        forget_object_of_window(hwnd);
        self->bind_window(nullptr);
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return self->handle(message, wparam, lparam);
  });
}

}  // namespace units
