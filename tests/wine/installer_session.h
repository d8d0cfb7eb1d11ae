#pragma once
// The real installer under test, seen from outside as a person sees it: its window,
// its units, the faces they show, and a click that is repeated until it visibly
// took effect (a window that has only just appeared may miss the first one).
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "desktop_driver.h"

namespace installer {

using namespace std::chrono_literals;

// The installer's units, in the order of its template's records.
enum class Unit {
  kStartBadge = 1,
  kStartButton,
  kStatusLabel,
  kProgressFill,
  kProgressTrack,
  kReturnButton,
  kInstallButton,
  kPortableLabel,
  kPortableToggle,
  kDesktopIconLabel,
  kDesktopIconToggle,
  kFolderLabel,
  kFolderCaption,
  kBrowseButton,
  kFolderFrame,
  kCustomInstallButton,
  kAgreementLink,
  kAgreementLabel,
  kAgreeToggle,
  kCloseButton,
  kQuickInstallButton,
};
constexpr int kUnitCount = 21;

constexpr wchar_t kDefaultFolder[] = L"C:\\Program Files (x86)\\Trellimo";

class Session {
 public:
  // Starts the installer named by TRELLIMO_SETUP and waits for its window.
  Session();
  // Starts this copy of the installer, from the caller's current folder.
  explicit Session(const std::wstring& program);

  bool has_window() const { return window_ != nullptr; }
  HWND window() const { return window_; }
  HWND unit(Unit unit) const;
  driver::ChildProcess& process() { return process_; }

  bool wait_until_shown(Unit unit, std::chrono::milliseconds timeout = 10s) const;
  bool wait_until_hidden(Unit unit, std::chrono::milliseconds timeout = 10s) const;
  // Clicks `unit` until it is hidden: how a page-changing button shows it was heard.
  bool click_until_hidden(Unit unit);
  // Clicks a toggle until it shows the tick (or not).
  bool click_toggle_until(Unit toggle, bool ticked);
  // Clicks `unit` until a message box of this process appears.
  std::optional<driver::MessageBoxView> click_until_message_box(Unit unit);
  // Starts the installation from the first page; true once the click was heard.
  bool start_quick_install();
  bool wait_for_finish_page() const { return wait_until_shown(Unit::kStartButton, 60s); }
  // For a failure report: where the installation stands (ended, a box, or its step).
  std::string installation_report();
  // Clicks the close button until the process ends; its exit code.
  std::optional<DWORD> close_with_close_button();

  // The installer's window or unit that has the keyboard focus; null for none.
  HWND focus() const;
  bool wait_for_focus(Unit unit, std::chrono::milliseconds timeout = 5s) const;
  // The first page ready for the user: the agreement ticked and the quick install
  // button, its main action, holding the focus.
  bool wait_for_first_page() const;
  // Real keyboard input to the installer's window, then a wait for the focus to
  // reach `unit`; whether it did.
  bool press_key_then_focus(WORD virtual_key, Unit unit, bool with_shift = false);

  std::wstring text_of(Unit unit) const { return driver::window_text(this->unit(unit)); }
  int width_of(Unit unit) const;
  bool shows_tick(Unit toggle) const;
  bool wait_for_tick(Unit toggle, bool ticked, std::chrono::milliseconds timeout) const;

 private:
  driver::ChildProcess process_;
  HWND window_ = nullptr;
};

// Answers a message box with its OK button, clicking until it is gone.
void dismiss(const driver::MessageBoxView& box);

}  // namespace installer
