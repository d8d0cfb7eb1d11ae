#pragma once
// A window's icon in the notification area, and the clicks on it told apart.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "frame/owned_handle.h"

namespace units {

// The private message the shell calls the window back with for its tray icon.
inline constexpr UINT kMsgTrayIcon = 0x8064;

// How a click on the tray icon is reported to the window's routine.
enum TrayClick : uint32_t { kTrayLeftUp = 1, kTrayLeftDoubleClick = 2, kTrayRightUp = 3 };

class TrayIcon {
 public:
  // Shows `icon_bytes` (any icon form) for `window`, with a tip cut to 62 bytes; a
  // new icon replaces the shown one, and no bytes remove it. False when the bytes
  // are no icon or the shell refuses; the shown icon then stays.
  bool set(HWND window, std::span<const uint8_t> icon_bytes, const std::string& tip);
  // Takes the icon out of the notification area while `window` still exists.
  void remove(HWND window);

  // The click a mouse message of kMsgTrayIcon stands for; nothing for moves and
  // the other buttons.
  static std::optional<TrayClick> click_of(LPARAM mouse_message);

 private:
  // Kept while the shell shows it.
  frame::OwnedIcon shown_;
};

}  // namespace units
