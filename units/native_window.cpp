#include "units/native_window.h"

#include "frame/gbk_wide.h"

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

void set_window_text_from_gbk(HWND hwnd, std::string_view text) {
  SetWindowTextW(hwnd, frame::wide_from_gbk(text).c_str());
}

}  // namespace units
