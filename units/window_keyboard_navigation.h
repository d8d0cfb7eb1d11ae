#pragma once
// A window's keyboard conventions, offered each key after the focused unit has
// declined it: Tab order, arrows within radio groups, Esc, Enter, F1 help and
// mnemonics.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "frame/window_table.h"
#include "units/window_block.h"

namespace units {

// The window keys are handled for, looked up afresh for each key: its native
// window, the frame's record of its units (null when the frame has none) and the
// properties that hold its rules.
struct KeyboardWindow {
  HWND hwnd;
  frame::WindowRecord* record;
  const WindowBlock& rules;
};

class KeyboardNavigation {
 public:
  // A WM_KEYDOWN the focused unit declined; true when the window took the key.
  bool on_key_down(const KeyboardWindow& window, const MSG& message);
  // A typed character as a mnemonic of the window's units; true when a unit took it.
  bool on_mnemonic(const KeyboardWindow& window, HWND focus, char key);
  void focus_first_tab_stop(const KeyboardWindow& window);
  // Closes the help this window opened, if any.
  void quit_help(HWND window);

 private:
  void on_enter(const KeyboardWindow& window, HWND focus);
  static void move_in_radio_group(const KeyboardWindow& window, HWND radio, bool forward);
  static void choose_radio(const KeyboardWindow& window, HWND radio);
  static void click(const KeyboardWindow& window, HWND unit);
  void open_help(const KeyboardWindow& window);
  static std::vector<HWND> tab_stops(const KeyboardWindow& window);
  static void move_focus(const KeyboardWindow& window, bool forward);

  bool help_opened_ = false;
};

}  // namespace units
