// The window's icons (from its icon property, else the program's) and the mouse
// cursors of the window and its units.
#include "units/window_kind.h"

namespace units {
namespace {

BOOL CALLBACK take_first_name(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  *reinterpret_cast<LPCSTR*>(found) = name;
  return FALSE;
}

// The program's first icon group at the size asked; shared, so nobody destroys it.
HICON program_icon(int width, int height) {
  HMODULE program = GetModuleHandleA(nullptr);
  LPCSTR name = nullptr;
  EnumResourceNamesA(program, RT_GROUP_ICON, take_first_name, reinterpret_cast<LONG_PTR>(&name));
  if (name == nullptr) return nullptr;
  return static_cast<HICON>(LoadImageA(program, name, IMAGE_ICON, width, height, LR_SHARED));
}

// Icon or cursor bytes as one handle; other pictures are no icon.
frame::OwnedIcon icon_from_bytes(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return {};
  auto loaded = pictures::load_picture(bytes);
  if (!loaded) return {};
  return std::move(loaded->icon);
}

}  // namespace

// The old icons go only once the window holds the new ones.
void WindowUnit::apply_icons() {
  const int small_width = GetSystemMetrics(SM_CXSMICON);
  const int small_height = GetSystemMetrics(SM_CYSMICON);
  frame::OwnedIcon large = icon_from_bytes(properties_.icon);
  frame::OwnedIcon small(large ? static_cast<HICON>(CopyImage(large.get(), IMAGE_ICON, small_width, small_height, 0))
                               : nullptr);
  HICON shown_large = large ? large.get() : program_icon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  HICON shown_small = small ? small.get() : program_icon(small_width, small_height);
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(shown_large));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(shown_small));
  large_icon_ = std::move(large);
  small_icon_ = std::move(small);
}

// Over the client area of the window or of one of its units, that unit's own
// cursor when it has one; everything else is the system's to decide.
bool WindowUnit::on_set_cursor(HWND target, WORD hit_test) {
  if (hit_test != HTCLIENT) return false;
  const frame::UnitInstance* unit = unit_of(target);
  if (unit == nullptr || unit->cursor_picture.empty()) return false;
  if (cursor_picture_ != unit->cursor_picture) {
    // The new cursor is shown before the old one is destroyed.
    frame::OwnedIcon cursor = icon_from_bytes(unit->cursor_picture);
    if (cursor) SetCursor(cursor.get());
    cursor_ = std::move(cursor);
    cursor_picture_ = unit->cursor_picture;
  }
  if (!cursor_) return false;
  SetCursor(cursor_.get());
  return true;
}

}  // namespace units
