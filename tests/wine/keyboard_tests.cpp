// The installer used with the keyboard alone: Tab and Shift+Tab through each
// page's buttons in reading order, Space and Enter to press them, and the focus
// cue that appears only once the keyboard has been used.
#include <algorithm>
#include <vector>

#include "installer_fixture.h"

namespace installer {
namespace {

// What Tab visits from each page's main action, which has the focus when the page
// appears, round to that action again.
const std::vector<Unit> kFirstPageTabs = {Unit::kAgreeToggle, Unit::kAgreementLink, Unit::kCustomInstallButton,
                                          Unit::kCloseButton, Unit::kQuickInstallButton};
const std::vector<Unit> kCustomPageTabs = {Unit::kBrowseButton, Unit::kDesktopIconToggle, Unit::kReturnButton,
                                           Unit::kAgreeToggle,  Unit::kAgreementLink,     Unit::kCloseButton,
                                           Unit::kInstallButton};

testing::AssertionResult tab_visits(Session& setup, const std::vector<Unit>& order) {
  for (size_t step = 0; step < order.size(); ++step) {
    if (!setup.press_key_then_focus(VK_TAB, order[step]))
      return testing::AssertionFailure() << "Tab " << step + 1 << " did not reach unit "
                                         << static_cast<int>(order[step]);
  }
  return testing::AssertionSuccess();
}

// The ring one pixel inside the unit's edge, where the focus cue is drawn.
std::vector<COLORREF> ring_inside(HWND unit) {
  const RECT rect = driver::window_rect(unit);
  const std::vector<COLORREF> pixels = driver::capture_screen(rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::vector<COLORREF> ring;
  for (int y = 1; y < height - 1; ++y) {
    for (int x = 1; x < width - 1; ++x) {
      if (y == 1 || y == height - 2 || x == 1 || x == width - 2) ring.push_back(pixels[y * width + x]);
    }
  }
  return ring;
}

bool all_white(const std::vector<COLORREF>& pixels) {
  return !pixels.empty() &&
         std::all_of(pixels.begin(), pixels.end(), [](COLORREF pixel) { return pixel == RGB(0xFF, 0xFF, 0xFF); });
}

bool shows_focus_cue(HWND unit) { return all_white(ring_inside(unit)); }

bool wait_for_focus_cue(HWND unit, bool shown) {
  return driver::wait_until(3s, [&] { return shows_focus_cue(unit) == shown; });
}

using Keyboard = InstallerTest;

TEST_F(Keyboard, TabVisitsEachPagesButtonsInReadingOrderFromItsMainAction) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_first_page()) << "the first page starts ticked, on its main action";
  EXPECT_TRUE(tab_visits(setup, kFirstPageTabs));
  EXPECT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kCloseButton, true)) << "Shift+Tab goes back round";

  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kCustomInstallButton, true));
  ASSERT_TRUE(setup.press_key_then_focus(VK_RETURN, Unit::kInstallButton)) << "Enter opens the custom page";
  EXPECT_TRUE(setup.wait_until_shown(Unit::kBrowseButton));
  EXPECT_TRUE(tab_visits(setup, kCustomPageTabs));

  for (Unit unit : {Unit::kBrowseButton, Unit::kDesktopIconToggle, Unit::kReturnButton})
    ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, unit));
  ASSERT_TRUE(setup.press_key_then_focus(VK_SPACE, Unit::kQuickInstallButton)) << "Space goes back";
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kInstallButton)));

  driver::press_key(setup.window(), VK_ESCAPE);
  EXPECT_EQ(setup.process().wait_for_exit(10s), std::optional<DWORD>(0)) << "Esc still closes the first page";
}

// Tab to the custom page, the desktop shortcut switched off with Space, Enter to
// install, and at the end Tab to the close button and Enter: what is left is what
// the same choices make with the mouse.
TEST_F(Keyboard, InstallsWithTheKeyboardAloneAsTheMouseDoes) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_first_page());
  for (Unit unit : {Unit::kAgreeToggle, Unit::kAgreementLink, Unit::kCustomInstallButton})
    ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, unit));
  ASSERT_TRUE(setup.press_key_then_focus(VK_SPACE, Unit::kInstallButton)) << "Space opens the custom page";

  ASSERT_TRUE(setup.wait_for_tick(Unit::kDesktopIconToggle, true, 5s));
  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kBrowseButton));
  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kDesktopIconToggle));
  driver::press_key(setup.window(), VK_SPACE);
  ASSERT_TRUE(setup.wait_for_tick(Unit::kDesktopIconToggle, false, 5s)) << "Space switches the option off";

  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kBrowseButton, true));
  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kInstallButton, true));
  driver::press_key(setup.window(), VK_RETURN);
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  EXPECT_TRUE(setup.wait_for_focus(Unit::kStartButton)) << "the finish page starts on its main action";

  expect_payload_installed(kDefaultFolder);
  expect_shortcut(in_folder(kDefaultFolder, L"卸载Pandrel.lnk"), kDefaultFolder, L"--uninst");
  EXPECT_FALSE(file_exists(desktop_folder() + L"\\Trellimo.lnk"));
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
  EXPECT_EQ(names_in(kDefaultFolder), installed_names());

  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kCloseButton));
  driver::press_key(setup.window(), VK_RETURN);
  EXPECT_EQ(setup.process().wait_for_exit(10s), std::optional<DWORD>(0));
}

// A top-level window of the test's own, for the user to turn to while the installer
// works.
class OtherWindow {
 public:
  OtherWindow()
      : hwnd_(CreateWindowExW(0, L"STATIC", L"other work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                              nullptr, nullptr, nullptr)) {}
  ~OtherWindow() { DestroyWindow(hwnd_); }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// An installation that ends while the user works in another window leaves that
// window in front; the finish page's main action has the focus once the user comes
// back.
TEST_F(Keyboard, AnInstallationEndingBehindAnotherWindowLeavesItInFront) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_first_page());
  driver::press_key(setup.window(), VK_RETURN);
  ASSERT_TRUE(setup.wait_until_shown(Unit::kProgressFill));

  OtherWindow other;
  ASSERT_TRUE(driver::bring_to_foreground(other.hwnd()));
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  EXPECT_EQ(GetForegroundWindow(), other.hwnd()) << "the finished installation took the foreground";

  ASSERT_TRUE(driver::bring_to_foreground(setup.window()));
  EXPECT_TRUE(setup.wait_for_focus(Unit::kStartButton)) << "coming back finds the finish page's main action";
}

// The focused main action shows nothing until a key is used; after Tab the button
// that took the focus shows the cue and the one that lost it shows none.
TEST_F(Keyboard, TheFocusCueAppearsOnlyAfterTheKeyboardIsUsed) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_first_page());
  const HWND quick_install = setup.unit(Unit::kQuickInstallButton);
  EXPECT_FALSE(shows_focus_cue(quick_install)) << "no cue before the keyboard is used";

  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kAgreeToggle));
  EXPECT_TRUE(wait_for_focus_cue(setup.unit(Unit::kAgreeToggle), true));
  EXPECT_FALSE(shows_focus_cue(quick_install));
  EXPECT_TRUE(setup.wait_for_tick(Unit::kAgreeToggle, true, 1s)) << "the cue leaves the tick as it was";

  ASSERT_TRUE(setup.press_key_then_focus(VK_TAB, Unit::kQuickInstallButton, true));
  EXPECT_TRUE(wait_for_focus_cue(quick_install, true));
  EXPECT_TRUE(wait_for_focus_cue(setup.unit(Unit::kAgreeToggle), false));

  // The mouse does not hide the cue again once the keyboard has shown it.
  ASSERT_TRUE(setup.click_until_hidden(Unit::kCustomInstallButton));
  ASSERT_TRUE(setup.wait_for_focus(Unit::kInstallButton)) << "the custom page starts on its main action";
  EXPECT_TRUE(wait_for_focus_cue(setup.unit(Unit::kInstallButton), true));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
