// The window kind's own properties: what each slot stores and what a write does to
// the live window.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "frame/frame_services.h"
#include "units/kind_adapter.h"
#include "units/native_window.h"
#include "units/unit_libraries.h"
#include "units/window_kind.h"

namespace units {
namespace {

BOOL CALLBACK invalidate_transparent_child(HWND child, LPARAM) {
  if (IsWindowVisible(child) && (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0) {
    InvalidateRect(child, nullptr, FALSE);
  }
  return TRUE;
}

constexpr int kStartPositionProperty = slot_of(kWindowProperties, "start_position");

}  // namespace

const frame::KindDescriptor kWindowKind = KindAdapter<WindowUnit, kWindowNames>::descriptor();

uint32_t WindowUnit::live_start_position() const {
  if (IsIconic(hwnd_)) return 2;
  if (IsZoomed(hwnd_)) return 3;
  return 0;
}

// The start position reads as the window stands: minimised, maximised or neither.
std::optional<uint32_t> WindowUnit::live_word(int slot) const {
  if (slot == kStartPositionProperty) return live_start_position();
  return std::nullopt;
}

// A playing sound reads the bytes about to be replaced.
void WindowUnit::before_write(Effect effect) {
  if (effect == Effect::sound) sound_.stop();
}

void WindowUnit::apply(Effect effect, int) {
  switch (effect) {
    case Effect::none:
      return;
    case Effect::title:
      set_window_text_from_gbk(hwnd_, properties_.title);
      return apply_styles();
    case Effect::styles:
      return apply_styles();
    case Effect::background:
      background_picture_.drop();
      return repaint_background();
    case Effect::picture_mode:
      if (!properties_.background_picture.empty()) repaint_background();
      return;
    case Effect::sound:
      return start_sound();
    case Effect::start_position:
      return apply_start_position();
    case Effect::movable:
      return apply_movable();
    case Effect::icons:
      return apply_icons();
    case Effect::shape:
      return apply_shape();
    case Effect::always_on_top:
      return apply_always_on_top();
  }
}

// The live state bits stay as they are: a start position acts only at creation.
void WindowUnit::apply_styles() {
  constexpr LONG kLiveState = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;
  const LONG kept = GetWindowLongA(hwnd_, GWL_STYLE) & kLiveState;
  const bool owned = GetWindow(hwnd_, GW_OWNER) != nullptr;
  const LONG style = static_cast<LONG>(window_style(as_child_, owned)) & ~kLiveState;
  SetWindowLongA(hwnd_, GWL_STYLE, style | kept);
  SetWindowLongA(hwnd_, GWL_EXSTYLE, static_cast<LONG>(window_ex_style()));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The labels over the background have none of their own: they are redrawn too.
void WindowUnit::repaint_background() {
  InvalidateRect(hwnd_, nullptr, TRUE);
  EnumChildWindows(hwnd_, invalidate_transparent_child, 0);
}

void WindowUnit::apply_start_position() {
  if (!IsWindowVisible(hwnd_)) return;
  switch (properties_.start_position) {
    case 0:
      ShowWindow(hwnd_, SW_SHOWNORMAL);
      return;
    case 1: {
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      RECT rect;
      GetWindowRect(hwnd_, &rect);
      const int width = rect.right - rect.left;
      const int height = rect.bottom - rect.top;
      SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    case 2:
      ShowWindow(hwnd_, SW_MINIMIZE);
      return;
    default:
      ShowWindow(hwnd_, SW_MAXIMIZE);
  }
}

void WindowUnit::apply_movable() {
  if (properties_.movable) {
    GetSystemMenu(hwnd_, TRUE);
  } else if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
    RemoveMenu(menu, SC_MOVE, MF_BYCOMMAND);
  }
}

// Leaving the top band must not take the program's other topmost windows that are
// kept off the taskbar (its floating tool windows) below this one.
void WindowUnit::apply_always_on_top() {
  constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(hwnd_, properties_.always_on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  if (properties_.always_on_top) return;
  for (const auto& window : frame::all_windows()) {
    const HWND other = window->hwnd();
    if (!window->exists() || other == hwnd_) continue;
    const bool topmost = (GetWindowLongA(other, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost && GetWindow(other, GW_OWNER) == frame::hidden_owner())
      SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
  }
}

}  // namespace units
