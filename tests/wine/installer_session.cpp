#include "installer_session.h"

#include "installer_fixture.h"

#include <algorithm>
#include <cstdio>

namespace installer {
namespace {

// The frame creates a window's units from the last record to the first and numbers
// them 100, 110, 120, ... in that order.
constexpr int kFirstControlId = 100;
constexpr int kControlIdStep = 10;
constexpr int kClickAttempts = 5;

// Whether the screen shows a near-white pixel inside `rect` shrunk by `inset`.
bool has_white_inside(const RECT& rect, LONG inset) {
  const RECT inside = {rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset};
  const std::vector<COLORREF> pixels = driver::capture_screen(inside);
  return std::any_of(pixels.begin(), pixels.end(), [](COLORREF pixel) {
    return GetRValue(pixel) > 200 && GetGValue(pixel) > 200 && GetBValue(pixel) > 200;
  });
}

}  // namespace

Session::Session() : Session(driver::windows_path(driver::program_from_environment("TRELLIMO_SETUP"))) {}

Session::Session(const std::wstring& program) : process_(program) {
  // Away from where the last test clicked (the close button of a window in this
  // same place) before this window opens under the pointer.
  driver::move_mouse({0, 0});
  if (process_.started()) window_ = driver::wait_for_window(process_.id(), L"kowtan", 20s);
  // As a person would, clicks go to the installer once it is the window in front.
  if (window_ != nullptr) driver::bring_to_foreground(window_);
}

HWND Session::unit(Unit unit) const {
  return GetDlgItem(window_, kFirstControlId + (kUnitCount - static_cast<int>(unit)) * kControlIdStep);
}

bool Session::wait_until_shown(Unit unit, std::chrono::milliseconds timeout) const {
  return driver::wait_until(timeout, [&] { return IsWindowVisible(this->unit(unit)) != FALSE; });
}

bool Session::wait_until_hidden(Unit unit, std::chrono::milliseconds timeout) const {
  return driver::wait_until(timeout, [&] { return IsWindowVisible(this->unit(unit)) == FALSE; });
}

// A click sent again too soon lands on the next page, where a picture box starts
// a drag that swallows the test's next click: the program gets a few seconds to
// hear the first one.
bool Session::click_until_hidden(Unit unit) {
  for (int attempt = 0; attempt < kClickAttempts; ++attempt) {
    driver::click(this->unit(unit));
    if (wait_until_hidden(unit, 3s)) return true;
  }
  return false;
}

bool Session::click_toggle_until(Unit toggle, bool ticked) {
  for (int attempt = 0; attempt < kClickAttempts; ++attempt) {
    driver::click(unit(toggle));
    if (wait_for_tick(toggle, ticked, 1s)) return true;
  }
  return false;
}

std::optional<driver::MessageBoxView> Session::click_until_message_box(Unit unit) {
  for (int attempt = 0; attempt < kClickAttempts; ++attempt) {
    driver::click(this->unit(unit));
    if (auto box = driver::wait_for_message_box(process_.id(), 3s)) return box;
  }
  return std::nullopt;
}

bool Session::wait_for_first_page() const {
  return wait_for_tick(Unit::kAgreeToggle, true, 10s) && wait_for_focus(Unit::kQuickInstallButton);
}

bool Session::start_quick_install() {
  return wait_until_shown(Unit::kQuickInstallButton) && wait_for_tick(Unit::kAgreeToggle, true, 10s) &&
         click_until_hidden(Unit::kQuickInstallButton);
}

std::optional<DWORD> Session::close_with_close_button() {
  for (int attempt = 0; attempt < kClickAttempts; ++attempt) {
    driver::click(unit(Unit::kCloseButton));
    if (auto code = process_.wait_for_exit(10s)) return code;
  }
  return std::nullopt;
}

// Where an installation stands when it does not come to its end: the program gone
// (a crash ends it with its exception code), the box it shows, or the step its
// status text and progress fill have reached.
std::string Session::installation_report() {
  if (const auto code = process_.wait_for_exit(0ms)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(*code));
    return std::string("the installer has ended, exit code 0x") + hex;
  }
  if (const auto box = driver::wait_for_message_box(process_.id(), 0ms)) {
    return "message box " + narrow(box->caption + L": " + box->text);
  }
  return "no message box; status \"" + narrow(text_of(Unit::kStatusLabel)) + "\", progress fill " +
         std::to_string(width_of(Unit::kProgressFill)) + " wide";
}

int Session::width_of(Unit unit) const {
  const RECT rect = driver::window_rect(this->unit(unit));
  return rect.right - rect.left;
}

// The ticked face has a white tick inside its light 1-pixel border; the empty face
// is dark blue there.
bool Session::shows_tick(Unit toggle) const { return has_white_inside(driver::window_rect(unit(toggle)), 2); }

bool Session::wait_for_tick(Unit toggle, bool ticked, std::chrono::milliseconds timeout) const {
  return driver::wait_until(timeout, [&] { return shows_tick(toggle) == ticked; });
}

HWND Session::focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window_, nullptr);
  return thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool Session::wait_for_focus(Unit unit, std::chrono::milliseconds timeout) const {
  return driver::wait_until(timeout, [&] { return focus() == this->unit(unit); });
}

// A key is pressed once only: a second press would move the focus on again.
bool Session::press_key_then_focus(WORD virtual_key, Unit unit, bool with_shift) {
  driver::press_key(window_, virtual_key, with_shift);
  return wait_for_focus(unit);
}

void dismiss(const driver::MessageBoxView& box) { driver::press_box_button(box, IDOK); }

}  // namespace installer
