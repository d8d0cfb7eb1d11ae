#include "units/window_keyboard_navigation.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "frame/events.h"
#include "frame/frame_services.h"
#include "frame/gbk_wide.h"

namespace units {
namespace {

constexpr int kEventClick = 0;

bool shift_held() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

bool can_take_focus(HWND hwnd) { return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd); }

// A unit says what it is the way dialog controls do, through WM_GETDLGCODE.
UINT dialog_code(HWND hwnd) { return hwnd ? static_cast<UINT>(SendMessageA(hwnd, WM_GETDLGCODE, 0, 0)) : 0; }

bool is_default_button(HWND hwnd) { return (dialog_code(hwnd) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

std::string caption_of(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return frame::gbk_from_wide_or_marked(text);
}

// "&&" is a literal ampersand; "&x" marks x. GBK trail bytes never equal '&'.
bool caption_marks(const std::string& caption, char key) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::tolower(static_cast<unsigned char>(caption[i + 1])) == std::tolower(static_cast<unsigned char>(key));
  }
  return false;
}

// Windows' convention: the focus is shown from the first key that moves it.
void show_focus_cues(HWND window) { SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0); }

bool is_mnemonic_key(char key) { return std::isalnum(static_cast<unsigned char>(key)) != 0; }

// The program's own name with the help extension, beside it.
std::string default_help_file() {
  std::string name = frame::program_file();
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  return frame::program_folder() + "\\" + name + ".hlp";
}

}  // namespace

// A unit that asks for every key, or for Tab, keeps it.
bool KeyboardNavigation::on_key_down(const KeyboardWindow& window, const MSG& message) {
  const UINT wanted = dialog_code(message.hwnd);
  if ((wanted & DLGC_WANTALLKEYS) != 0) return false;
  switch (message.wParam) {
    case VK_TAB:
      if ((wanted & DLGC_WANTTAB) != 0) return false;
      show_focus_cues(window.hwnd);
      move_focus(window, !shift_held());
      return true;
    case VK_ESCAPE:
      if (!window.rules.esc_closes) return false;
      SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
      return true;
    case VK_RETURN:
      on_enter(window, GetFocus());
      return true;
    case VK_F1:
      if (!window.rules.f1_opens_help) return false;
      open_help(window);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if ((wanted & DLGC_WANTARROWS) != 0 || (wanted & DLGC_RADIOBUTTON) == 0) return false;
      show_focus_cues(window.hwnd);
      move_in_radio_group(window, message.hwnd, message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
      return true;
    default:
      return false;
  }
}

// The group runs, as in a dialog, from a unit with WS_GROUP to the next one; the
// system walks it, skipping hidden and disabled units and wrapping at its ends.
void KeyboardNavigation::move_in_radio_group(const KeyboardWindow& window, HWND radio, bool forward) {
  const HWND next = GetNextDlgGroupItem(GetParent(radio), radio, !forward);
  if (next == nullptr || next == radio || (dialog_code(next) & DLGC_RADIOBUTTON) == 0) return;
  SetFocus(next);
  choose_radio(window, next);
}

// The chosen radio button is the only one of its group checked, and is clicked.
void KeyboardNavigation::choose_radio(const KeyboardWindow& window, HWND radio) {
  for (HWND member = GetNextDlgGroupItem(GetParent(radio), radio, FALSE); member != nullptr && member != radio;
       member = GetNextDlgGroupItem(GetParent(radio), member, FALSE)) {
    if ((dialog_code(member) & DLGC_RADIOBUTTON) != 0) SendMessageA(member, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
  click(window, radio);
}

void KeyboardNavigation::click(const KeyboardWindow& window, HWND unit) {
  const frame::UnitInstance* instance = window.record != nullptr ? window.record->unit_of(unit) : nullptr;
  if (instance != nullptr) frame::raise_event(window.record->id(), instance->record->id, kEventClick);
}

// The focused default button is clicked; otherwise Enter moves on when asked to,
// or clicks the window's first default button.
void KeyboardNavigation::on_enter(const KeyboardWindow& window, HWND focus) {
  frame::WindowRecord* record = window.record;
  const frame::UnitInstance* focused = record != nullptr ? record->unit_of(focus) : nullptr;
  if (focused != nullptr && focus != window.hwnd && is_default_button(focus)) {
    frame::raise_event(record->id(), focused->record->id, kEventClick);
    return;
  }
  if (window.rules.enter_moves_focus) return move_focus(window, true);
  if (record == nullptr) return;
  for (size_t i = 1; i < record->units().size(); ++i) {
    const frame::UnitInstance& unit = record->units()[i];
    // A hidden or disabled button is not there to be pressed.
    if (unit.is_live() && can_take_focus(unit.hwnd()) && is_default_button(unit.hwnd())) {
      frame::raise_event(record->id(), unit.record->id, kEventClick);
      return;
    }
  }
}

// Visible, enabled tab-stop units, lowest tab order first (record order breaks ties).
std::vector<HWND> KeyboardNavigation::tab_stops(const KeyboardWindow& window) {
  std::vector<const frame::UnitInstance*> units;
  if (window.record == nullptr) return {};
  for (size_t i = 1; i < window.record->units().size(); ++i) {
    const frame::UnitInstance& unit = window.record->units()[i];
    if (unit.is_live() && (GetWindowLongA(unit.hwnd(), GWL_STYLE) & WS_TABSTOP) != 0 && can_take_focus(unit.hwnd()))
      units.push_back(&unit);
  }
  std::stable_sort(units.begin(), units.end(), [](const frame::UnitInstance* a, const frame::UnitInstance* b) {
    return a->record->tab_order < b->record->tab_order;
  });
  std::vector<HWND> order;
  for (const frame::UnitInstance* unit : units) order.push_back(unit->hwnd());
  return order;
}

void KeyboardNavigation::move_focus(const KeyboardWindow& window, bool forward) {
  const std::vector<HWND> order = tab_stops(window);
  if (order.empty()) return;
  const auto current = std::find(order.begin(), order.end(), GetFocus());
  size_t next = 0;
  if (current == order.end()) {
    next = forward ? 0 : order.size() - 1;
  } else {
    const size_t at = static_cast<size_t>(current - order.begin());
    next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
  }
  SetFocus(order[next]);
}

void KeyboardNavigation::focus_first_tab_stop(const KeyboardWindow& window) {
  const std::vector<HWND> order = tab_stops(window);
  if (!order.empty()) SetFocus(order.front());
}

// Check boxes toggle and radio buttons are chosen, both clicking; other units take
// the focus. A unit that wants the characters typed into it keeps them.
bool KeyboardNavigation::on_mnemonic(const KeyboardWindow& window, HWND focus, char key) {
  if (!is_mnemonic_key(key) || (dialog_code(focus) & DLGC_WANTCHARS) != 0) return false;
  frame::WindowRecord* record = window.record;
  if (record == nullptr) return false;
  for (size_t i = 1; i < record->units().size(); ++i) {
    const frame::UnitInstance& unit = record->units()[i];
    const HWND hwnd = unit.hwnd();
    if (!unit.is_live() || !can_take_focus(hwnd) || !caption_marks(caption_of(hwnd), key)) continue;
    const UINT code = dialog_code(hwnd);
    if ((code & (DLGC_RADIOBUTTON | DLGC_BUTTON)) == 0) {
      SetFocus(hwnd);
      return true;
    }
    if ((code & DLGC_RADIOBUTTON) != 0) {
      choose_radio(window, hwnd);
      return true;
    }
    const bool checked = SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageA(hwnd, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    click(window, hwnd);
    return true;
  }
  return false;
}

// The help file property, or the program's own help file beside it.
void KeyboardNavigation::open_help(const KeyboardWindow& window) {
  const WindowBlock& rules = window.rules;
  const std::string file = rules.help_file.empty() ? default_help_file() : rules.help_file;
  const UINT command = rules.help_context != 0 ? HELP_CONTEXT : HELP_FINDER;
  if (WinHelpW(window.hwnd, frame::wide_from_gbk(file).c_str(), command, rules.help_context)) help_opened_ = true;
}

void KeyboardNavigation::quit_help(HWND window) {
  if (!help_opened_) return;
  WinHelpW(window, nullptr, HELP_QUIT, 0);
  help_opened_ = false;
}

}  // namespace units
