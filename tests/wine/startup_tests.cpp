// The installer started for real under Wine: its window, its exit codes, and the
// run-time error boxes a damaged template leads to, all observed from outside.
#include <gtest/gtest.h>

#include "desktop_driver.h"

namespace {

using namespace std::chrono_literals;
using driver::ChildProcess;

constexpr DWORD kRuntimeErrorExitCode = 0xFFFFFFFF;
constexpr int kWindowWidth = 680;
constexpr int kWindowHeight = 500;

ChildProcess start(const char* variable) {
  const std::string path = driver::program_from_environment(variable);
  EXPECT_FALSE(path.empty()) << variable << " is not set";
  return ChildProcess(driver::windows_path(path));
}

int visible_count(const std::vector<HWND>& windows) {
  int count = 0;
  for (HWND hwnd : windows) count += IsWindowVisible(hwnd) ? 1 : 0;
  return count;
}

TEST(InstallerWindow, OpensCentredBorderlessWithEveryUnitOfItsTemplate) {
  ChildProcess setup = start("TRELLIMO_SETUP");
  ASSERT_TRUE(setup.started());
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(driver::window_text(window), L"Trellimo安装程序");
  const RECT rect = driver::window_rect(window);
  EXPECT_EQ(rect.right - rect.left, kWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kWindowHeight);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);

  // 22 records: the window itself and 21 units. The first page shows the agreement
  // row, the two install buttons and the close button; nothing else.
  const std::vector<HWND> units = driver::child_windows(window);
  EXPECT_EQ(units.size(), 21u);
  EXPECT_EQ(visible_count(units), 6);

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(0));
}

TEST(InstallerWindow, EscClosesItAndTheProgramEndsWithZero) {
  ChildProcess setup = start("TRELLIMO_SETUP");
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);
  driver::press_key(window, VK_ESCAPE);
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(0));
}

TEST(InstallerWindow, ClickingTheCloseButtonEndsTheProgramWithZero) {
  ChildProcess setup = start("TRELLIMO_SETUP");
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);
  HWND close_button = driver::unit_at(window, 654, 10);
  ASSERT_NE(close_button, nullptr);
  // A window that has only just appeared may miss the very first click.
  std::optional<DWORD> exit_code;
  for (int attempt = 0; attempt < 3 && !exit_code; ++attempt) {
    driver::click(close_button);
    exit_code = setup.wait_for_exit(10s);
  }
  EXPECT_EQ(exit_code, std::optional<DWORD>(0));
}

struct FaultCase {
  const char* program_variable;
  const wchar_t* message;
};

class DamagedTemplate : public testing::TestWithParam<FaultCase> {};

TEST_P(DamagedTemplate, ShowsTheRuntimeErrorBoxAndExitsWithMinusOne) {
  ChildProcess setup = start(GetParam().program_variable);
  ASSERT_TRUE(setup.started());
  auto box = driver::wait_for_message_box(setup.id(), 20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"错误");
  EXPECT_EQ(box->text, std::wstring(L"运行时出错!\r\n\r\n错误信息：") + GetParam().message + L"\r\n\r\n0, 0\r\n");
  EXPECT_EQ(setup.wait_for_exit(200ms), std::nullopt) << "the box must hold the program until it is answered";

  driver::click(GetDlgItem(box->hwnd, IDOK));
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(kRuntimeErrorExitCode));
}

INSTANTIATE_TEST_SUITE_P(StartUp, DamagedTemplate,
                         testing::Values(FaultCase{"TRELLIMO_SETUP_TRUNCATED_TEMPLATE", L"载入窗口模板数据段出错!"},
                                         FaultCase{"TRELLIMO_SETUP_WITHOUT_STARTUP_WINDOW", L"载入启动窗口失败"}));

}  // namespace
