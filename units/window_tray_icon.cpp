#include "units/window_tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "frame/gbk.h"
#include "frame/system_library.h"
#include "pictures/picture_drawing.h"

namespace units {
namespace {

using NotifyIconFunction = BOOL(WINAPI*)(DWORD command, PNOTIFYICONDATAA data);

constinit frame::SystemFunction<NotifyIconFunction> g_notify_icon("shell32.dll", "Shell_NotifyIconA");

// False when the system has no shell32.dll to ask.
bool notify_icon(DWORD command, NOTIFYICONDATAA& data) {
  const NotifyIconFunction notify = g_notify_icon.get();
  return notify != nullptr && notify(command, &data) != FALSE;
}

constexpr UINT kTrayIconId = 100;
constexpr size_t kMaxTipBytes = 62;

NOTIFYICONDATAA tray_data(HWND hwnd) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd;
  data.uID = kTrayIconId;
  return data;
}

// A tip longer than 62 bytes is cut there, never inside a double-byte character.
template <size_t N>
void copy_tip(const std::string& tip, char (&target)[N]) {
  static_assert(N > kMaxTipBytes);
  size_t length = 0;
  while (length < tip.size()) {
    const size_t next = frame::next_character(tip, length);
    if (next > std::min(tip.size(), kMaxTipBytes)) break;
    length = next;
  }
  std::memcpy(target, tip.data(), length);
  target[length] = '\0';
}

}  // namespace

bool TrayIcon::set(HWND window, std::span<const uint8_t> icon_bytes, const std::string& tip) {
  if (icon_bytes.empty()) {
    remove(window);
    return true;
  }
  auto loaded = pictures::load_picture(icon_bytes);
  if (!loaded || !loaded->icon) return false;
  NOTIFYICONDATAA data = tray_data(window);
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = kMsgTrayIcon;
  data.hIcon = loaded->icon.get();
  copy_tip(tip, data.szTip);
  const DWORD command = shown_ ? NIM_MODIFY : NIM_ADD;
  if (!notify_icon(command, data)) return false;
  // The shell shows the new icon now; the old one may go.
  shown_ = std::move(loaded->icon);
  return true;
}

void TrayIcon::remove(HWND window) {
  if (!shown_) return;
  NOTIFYICONDATAA data = tray_data(window);
  notify_icon(NIM_DELETE, data);
  shown_.reset();
}

std::optional<TrayClick> TrayIcon::click_of(LPARAM mouse_message) {
  switch (static_cast<UINT>(mouse_message)) {
    case WM_LBUTTONUP:
      return kTrayLeftUp;
    case WM_LBUTTONDBLCLK:
      return kTrayLeftDoubleClick;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      return kTrayRightUp;
    default:
      return std::nullopt;
  }
}

}  // namespace units
