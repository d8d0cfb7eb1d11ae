#include "units/native_window.h"

#include <string>

namespace units {

bool register_unit_class(const char* name, WNDPROC procedure) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (GetClassInfoA(instance, name, &existing)) return true;
  WNDCLASSA window_class = {};
  window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  return RegisterClassA(&window_class) != 0;
}

COLORREF stored_colour(uint32_t colour) {
  return colour == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

void set_window_text_from_gbk(HWND hwnd, std::string_view text) {
  constexpr UINT kGbk = 936;
  const int length = static_cast<int>(text.size());
  const int wide_length = length > 0 ? MultiByteToWideChar(kGbk, 0, text.data(), length, nullptr, 0) : 0;
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  if (wide_length > 0) MultiByteToWideChar(kGbk, 0, text.data(), length, wide.data(), wide_length);
  SetWindowTextW(hwnd, wide.c_str());
}

}  // namespace units
