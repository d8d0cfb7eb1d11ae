#include "units/native_window.h"

namespace units {

bool register_unit_class(const wchar_t* name, WNDPROC procedure) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW existing;
  if (GetClassInfoW(instance, name, &existing)) return true;
  WNDCLASSW window_class = {};
  window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  return RegisterClassW(&window_class) != 0;
}

COLORREF stored_colour(uint32_t colour) {
  return colour == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

}  // namespace units
