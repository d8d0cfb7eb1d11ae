#pragma once
// What every unit kind does the same way with its native window.
#include <windows.h>

#include <cstdint>

namespace units {

// Registers a class of ours once: redrawn on resize, double clicks, arrow cursor, and
// no background brush (every kind paints its own background).
bool register_unit_class(const char* name, WNDPROC procedure);

// A stored colour as GDI wants it: 0xFF000000 stands for the system button face.
COLORREF stored_colour(uint32_t colour);

// The object a window procedure serves: taken from CreateWindowEx's parameter on
// WM_NCCREATE and kept in the window's user data from then on.
template <typename Object>
Object* object_of_window(HWND hwnd, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<Object*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
  }
  return reinterpret_cast<Object*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Forgets the object once its window is going, so no late message reaches it.
inline void forget_object_of_window(HWND hwnd) { SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0); }

}  // namespace units
