// A second application on the frame, driven from outside with real input: a modal
// dialog that holds its main window disabled until it closes, WM_QUIT arriving in
// the dialog's loop, a window maximised at run time, its menu item and the window
// kind's block requests.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "files.h"
#include "logged_run.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;

constexpr char kProbe[] = "TRELLIMO_SECOND_APPLICATION_PROBE";

using driver::gbk;

// The log without the common mouse and keyboard events, which the pointer's moves
// on the way to a button add.
std::string without_input_events(const std::string& log) {
  std::string kept;
  for (const std::string& line : support::lines_of(log)) {
    if (line.rfind("event -", 0) != 0) kept += line + "\n";
  }
  return kept;
}

// Once the probe has ended: its exit code, and its log but for the input events.
void expect_ended_with(driver::Probe& probe, DWORD exit_code, std::initializer_list<std::string> lines) {
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(exit_code));
  EXPECT_EQ(without_input_events(probe.log()), driver::log_lines(lines));
}

// The main window with the dialog opened from its button by a real click.
struct OpenDialog {
  HWND main = nullptr;
  HWND dialog = nullptr;
};

OpenDialog open_dialog(driver::Probe& probe) {
  OpenDialog windows;
  windows.main = driver::wait_for_window(probe.process().id(), L"app_main", 20s);
  if (windows.main == nullptr) return windows;
  driver::click(driver::unit_at(windows.main, 10, 10));
  windows.dialog = driver::wait_for_window(probe.process().id(), L"app_dialog", 20s);
  return windows;
}

TEST(ModalDialog, DisablesTheMainWindowUntilItClosesThenGivesItBack) {
  driver::Probe probe(kProbe, "modal-dialog");
  const OpenDialog windows = open_dialog(probe);
  ASSERT_NE(windows.main, nullptr);
  ASSERT_NE(windows.dialog, nullptr);
  // The dialog shows first, then the windows behind it are disabled.
  EXPECT_TRUE(driver::wait_until(5s, [&] { return !IsWindowEnabled(windows.main); }));
  EXPECT_TRUE(IsWindowEnabled(windows.dialog));

  driver::click(windows.main);  // a disabled window takes no input: nothing is logged
  driver::press_key(windows.dialog, VK_ESCAPE);
  ASSERT_TRUE(driver::wait_until(10s, [&] { return !IsWindow(windows.dialog); }));
  EXPECT_TRUE(IsWindowEnabled(windows.main));

  PostMessageW(windows.main, WM_CLOSE, 0, 0);
  expect_ended_with(probe, 0,
                    {"main window created", "opening the dialog", "dialog created", "close asked 1", "close",
                     "modal dialog returned 1", "main window closing", "loop returned"});
}

TEST(ModalDialog, QuitPostedInItsLoopEndsTheProgramWithTheQuitCode) {
  driver::Probe probe(kProbe, "modal-dialog");
  const OpenDialog windows = open_dialog(probe);
  ASSERT_NE(windows.dialog, nullptr);
  driver::click(driver::unit_at(windows.dialog, 10, 10));
  expect_ended_with(probe, 5,
                    {"main window created", "opening the dialog", "dialog created", "dialog posts WM_QUIT",
                     "modal dialog returned 1", "loop returned"});
}

// The radio buttons of the first page, found on the screen.
std::vector<HWND> radio_buttons(HWND main) {
  const HWND box = driver::unit_at(main, 100, 10);
  return {driver::unit_at(box, 10, 10), driver::unit_at(box, 10, 40), driver::unit_at(box, 10, 70)};
}

bool checked(HWND radio) { return SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED; }

TEST(RadioGroup, ArrowKeysChooseTheNextAndPreviousButtonAndWrapAround) {
  driver::Probe probe(kProbe, "modal-dialog");
  const HWND main = driver::wait_for_window(probe.process().id(), L"app_main", 20s);
  ASSERT_NE(main, nullptr);
  const std::vector<HWND> radios = radio_buttons(main);
  for (HWND radio : radios) ASSERT_NE(radio, nullptr);
  ASSERT_TRUE(driver::bring_to_foreground(main));
  const struct {
    WORD key;
    size_t chosen;
  } steps[] = {{VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_DOWN, 0}, {VK_UP, 2}};
  for (const auto& step : steps) {
    driver::press_key(main, step.key);
    EXPECT_TRUE(driver::wait_until(5s, [&] { return checked(radios[step.chosen]); })) << "radio " << step.chosen;
    for (size_t other = 0; other < radios.size(); ++other) {
      if (other != step.chosen) {
        EXPECT_FALSE(checked(radios[other])) << "radio " << other;
      }
    }
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  expect_ended_with(probe, 0,
                    {"main window created", "radio 0x16010006 chosen", "radio 0x16010007 chosen",
                     "radio 0x16010005 chosen", "radio 0x16010007 chosen", "main window closing", "loop returned"});
}

std::string input_line(int event, uint32_t unit, std::initializer_list<LONG> arguments) {
  char id[16];
  std::snprintf(id, sizeof id, "0x%08X", unit);
  std::string line = "event " + std::to_string(event) + " on " + id + ":";
  for (LONG argument : arguments) line += " " + std::to_string(argument);
  return line;
}

// Whether every line of `expected` is in `log`, in that order, other lines between.
testing::AssertionResult lines_in_order(const std::string& log, const std::vector<std::string>& expected) {
  size_t found = 0;
  for (const std::string& line : support::lines_of(log)) {
    if (found < expected.size() && line == expected[found]) ++found;
  }
  if (found == expected.size()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "no \"" << expected[found] << "\" in order in\n" << log;
}

// Mouse events on the window's own surface (the wheel's too: Wine, as Windows 10
// does, sends it to the window under the pointer), keys on the focused radio
// button: each with the arguments a Windows programmer expects.
TEST(CommonEvents, MouseAndKeyboardReachTheBoundRoutinesWithTheirArguments) {
  constexpr uint32_t kWindowRecord = 0x06010000;
  constexpr uint32_t kFocusedRadio = 0x16010005;
  driver::Probe probe(kProbe, "modal-dialog");
  const HWND main = driver::wait_for_window(probe.process().id(), L"app_main", 20s);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(driver::bring_to_foreground(main));

  POINT point = {40, 100};
  ClientToScreen(main, &point);
  driver::move_mouse(point);
  POINT cursor;
  GetCursorPos(&cursor);
  POINT on_window = cursor;
  ScreenToClient(main, &on_window);
  for (int click = 0; click < 2; ++click) {
    driver::press_left_button();
    driver::release_left_button();
  }
  driver::press_right_button();
  driver::release_right_button();
  driver::turn_wheel(120);
  driver::press_key(main, 'A');
  driver::press_key(main, 'B', true);
  driver::press_key_holding(main, VK_CONTROL, 'C');
  driver::press_key_holding(main, VK_MENU, 'X');
  driver::type_character(main, L'中');
  Sleep(300);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(0));

  const LONG x = on_window.x, y = on_window.y;
  EXPECT_TRUE(lines_in_order(probe.log(), {
                                              input_line(-4, kWindowRecord, {0, x, y, 0}),
                                              input_line(-1, kWindowRecord, {1, x, y, 0}),
                                              input_line(-2, kWindowRecord, {1, x, y, 0}),
                                              input_line(-3, kWindowRecord, {1, x, y, 0}),
                                              input_line(-2, kWindowRecord, {1, x, y, 0}),
                                              input_line(-1, kWindowRecord, {2, x, y, 0}),
                                              input_line(-2, kWindowRecord, {2, x, y, 0}),
                                              input_line(-5, kWindowRecord, {120, x, y, 0}),
                                              input_line(-6, kFocusedRadio, {'A', 0}),
                                              input_line(-10, kFocusedRadio, {'a', 0}),
                                              input_line(-9, kFocusedRadio, {'A', 0}),
                                              input_line(-6, kFocusedRadio, {VK_SHIFT, 1}),
                                              input_line(-6, kFocusedRadio, {'B', 1}),
                                              input_line(-10, kFocusedRadio, {'B', 1}),
                                              input_line(-9, kFocusedRadio, {'B', 1}),
                                              input_line(-9, kFocusedRadio, {VK_SHIFT, 0}),
                                              input_line(-6, kFocusedRadio, {'C', 2}),
                                              input_line(-10, kFocusedRadio, {3, 2}),
                                              input_line(-9, kFocusedRadio, {'C', 2}),
                                              input_line(-11, kFocusedRadio, {VK_MENU, 4}),
                                              input_line(-11, kFocusedRadio, {'X', 4}),
                                              input_line(-12, kFocusedRadio, {'X', 4}),
                                              // Its GBK bytes, whatever the system's code page.
                                              input_line(-10, kFocusedRadio, {0xD6, 0}),
                                              input_line(-10, kFocusedRadio, {0xD0, 0}),
                                          }));
}

TEST(StartPosition, ThreeWrittenAtRunTimeFillsTheWorkAreaOfTheMonitor) {
  driver::Probe probe(kProbe, "maximise");
  const HWND window = driver::wait_for_window(probe.process().id(), L"app_wide", 20s);
  ASSERT_NE(window, nullptr);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  RECT rect = {};
  EXPECT_TRUE(driver::wait_until(10s,
                                 [&] {
                                   rect = driver::window_rect(window);
                                   return EqualRect(&work, &rect) != 0;
                                 }))
      << "window " << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom << ", work area "
      << work.left << "," << work.top << " " << work.right << "," << work.bottom;
  EXPECT_TRUE(IsZoomed(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(0));
}

using driver::LoggedRun;

class SecondApplication : public testing::TestWithParam<LoggedRun> {};

// Wherever the pointer rests, its moves over the window are logged too; they are no
// part of these scenarios.
TEST_P(SecondApplication, EndsWithItsLog) {
  const driver::ProbeRun run = driver::run_probe(kProbe, GetParam().scenario);
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(GetParam().exit_code));
  EXPECT_EQ(without_input_events(run.log), GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Template, SecondApplication,
    testing::Values(LoggedRun{"MenuItemRecordLoadsAndKeepsItsHandlerWithoutAUnit", "menu-item", 0,
                              "main window created\nmenu item text " + gbk(L"文件(&F)") +
                                  "\nmenu item has no unit object\nmenu item keeps its handler\n"},
                    LoggedRun{"UnitsOnAPageNotShownStayHiddenUntilTheContainerShowsIt", "pages", 0,
                              "main window created\n"
                              "created: first page radio shown (visible property 1), second page picture hidden "
                              "(visible property 0)\n"
                              "second page picture shown: first page radio shown (visible property 1), second page "
                              "picture hidden (visible property 0)\n"
                              "second page selected: first page radio hidden (visible property 0), second page "
                              "picture shown (visible property 1)\n"
                              "hidden picture, second page selected again: first page radio hidden (visible property "
                              "0), second page picture hidden (visible property 0)\n"},
                    LoggedRun{"UnitsMadeAgainKeepPlaceParentStackingFocusAndChildren", "rebuild", 0,
                              "main window created\n"
                              "radio made again yes, same place yes, same parent yes, same stacking yes, focus kept "
                              "yes\n"
                              "radio starts a group yes\n"
                              "page box made again yes, same place yes, same parent yes, same stacking yes, focus "
                              "kept yes\n"
                              "page box holds its units yes\n"
                              "page box made again: first page radio shown (visible property 1), second page "
                              "picture hidden (visible property 0)\n"},
                    LoggedRun{"AutomationObjectIsAUnitWithoutAWindow", "windowless", 0,
                              "main window created\n"
                              "automation unit: class WScript.Shell, window no, object yes\n"
                              "left reads 5, visible reads 0\n"
                              "after a new class: class Scripting.Dictionary, window no, object yes\n"
                              "after an unknown class: class No.Such.Class, window no, object no\n"
                              "gone with its window\n"},
                    LoggedRun{"LoadingAWindowThatExistsKeepsItsUnits", "load-twice", 0,
                              "main window created\nsecond load succeeded\nunits kept\n"},
                    LoggedRun{"WindowBlockIsSavedItsIconReadAndItsTextsVisited", "block-requests", 0,
                              "main window created\nsaved block title " + gbk(L"主窗口") +
                                  ", class app_main\n"
                                  "icon of the saved block: 4286 bytes\n"
                                  "icon of a version 7 block: none\n"
                                  "visit keeping every text: same block\n"
                                  "texts visited 3, title now " +
                                  gbk(L"新标题") + ", class app_main\n"}),
    driver::logged_run_name);

}  // namespace
