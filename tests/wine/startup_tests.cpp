// The installer started for real under Wine: its window, its exit codes, and the
// run-time error boxes a damaged template leads to, all observed from outside.
#include <gtest/gtest.h>

#include "installed_product.h"
#include "installer_session.h"

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

struct UnitPlace {
  installer::Unit unit;
  RECT rect;  // in the window's client area
};

// Where the layout puts each unit, in record order.
constexpr UnitPlace kUnitPlaces[] = {
    {installer::Unit::kStartBadge, {293, 360, 381, 384}},
    {installer::Unit::kStartButton, {260, 416, 420, 466}},
    {installer::Unit::kStatusLabel, {59, 384, 621, 408}},
    {installer::Unit::kProgressFill, {59, 412, 59, 424}},
    {installer::Unit::kProgressTrack, {59, 412, 621, 424}},
    {installer::Unit::kReturnButton, {360, 423, 500, 457}},
    {installer::Unit::kInstallButton, {520, 423, 660, 465}},
    {installer::Unit::kPortableLabel, {156, 428, 264, 452}},
    {installer::Unit::kPortableToggle, {136, 432, 152, 448}},
    {installer::Unit::kDesktopIconLabel, {36, 428, 120, 452}},
    {installer::Unit::kDesktopIconToggle, {16, 432, 32, 448}},
    {installer::Unit::kFolderLabel, {97, 377, 529, 401}},
    {installer::Unit::kFolderCaption, {37, 377, 93, 401}},
    {installer::Unit::kBrowseButton, {567, 369, 657, 405}},
    {installer::Unit::kFolderFrame, {13, 371, 535, 407}},
    {installer::Unit::kCustomInstallButton, {592, 476, 664, 489}},
    {installer::Unit::kAgreementLink, {174, 473, 246, 487}},
    {installer::Unit::kAgreementLabel, {36, 468, 168, 492}},
    {installer::Unit::kAgreeToggle, {16, 472, 32, 488}},
    {installer::Unit::kCloseButton, {654, 10, 670, 26}},
    {installer::Unit::kQuickInstallButton, {260, 344, 420, 394}},
};

RECT client_rect_of(HWND window, HWND unit) {
  RECT rect = driver::window_rect(unit);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool shown_on_the_first_page(installer::Unit unit) {
  using installer::Unit;
  for (Unit shown : {Unit::kAgreeToggle, Unit::kAgreementLabel, Unit::kAgreementLink, Unit::kQuickInstallButton,
                     Unit::kCustomInstallButton, Unit::kCloseButton}) {
    if (unit == shown) return true;
  }
  return false;
}

TEST(InstallerWindow, OpensCentredBorderlessWithEveryUnitOfItsTemplate) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, installer::kUninstallKey);
  installer::Session setup;
  ASSERT_TRUE(setup.has_window());
  HWND window = setup.window();

  EXPECT_EQ(driver::window_text(window), L"Trellimo安装程序");
  const RECT rect = driver::window_rect(window);
  EXPECT_EQ(rect.right - rect.left, kWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kWindowHeight);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);

  // The first page: the agreement row, the two install buttons and the close button.
  EXPECT_EQ(driver::child_windows(window).size(), static_cast<size_t>(installer::kUnitCount));
  for (const UnitPlace& place : kUnitPlaces) {
    SCOPED_TRACE(static_cast<int>(place.unit));
    HWND unit = setup.unit(place.unit);
    ASSERT_NE(unit, nullptr);
    const RECT placed = client_rect_of(window, unit);
    EXPECT_TRUE(EqualRect(&placed, &place.rect))
        << placed.left << "," << placed.top << " " << placed.right - placed.left << "x" << placed.bottom - placed.top;
    EXPECT_EQ(IsWindowVisible(unit) != FALSE, shown_on_the_first_page(place.unit));
  }
  EXPECT_EQ(setup.text_of(installer::Unit::kFolderLabel), installer::kDefaultFolder);
  EXPECT_TRUE(setup.wait_for_tick(installer::Unit::kAgreeToggle, true, 10s));

  // Overlapping units (the progress fill on its track, the badge on the start
  // button) stack as their records do: the first record on top.
  HWND stacked = GetWindow(window, GW_CHILD);
  for (int record = 1; record <= installer::kUnitCount; ++record, stacked = GetWindow(stacked, GW_HWNDNEXT)) {
    EXPECT_EQ(stacked, setup.unit(static_cast<installer::Unit>(record))) << "record " << record;
  }

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.process().wait_for_exit(30s), std::optional<DWORD>(0));
}

TEST(InstallerWindow, EscClosesItAndTheProgramEndsWithZero) {
  installer::Session setup;
  ASSERT_TRUE(setup.has_window());
  driver::press_key(setup.window(), VK_ESCAPE);
  EXPECT_EQ(setup.process().wait_for_exit(30s), std::optional<DWORD>(0));
}

TEST(InstallerWindow, ClickingTheCloseButtonEndsTheProgramWithZero) {
  installer::Session setup;
  ASSERT_TRUE(setup.has_window());
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
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

  ASSERT_TRUE(driver::press_box_button(*box, IDOK));
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(kRuntimeErrorExitCode));
}

INSTANTIATE_TEST_SUITE_P(StartUp, DamagedTemplate,
                         testing::Values(FaultCase{"TRELLIMO_SETUP_TRUNCATED_TEMPLATE", L"载入窗口模板数据段出错!"},
                                         FaultCase{"TRELLIMO_SETUP_WITHOUT_STARTUP_WINDOW", L"载入启动窗口失败"},
                                         FaultCase{"TRELLIMO_SETUP_WITHOUT_WINDOW_RECORD",
                                                   L"载入窗口模板数据段出错!"}));

}  // namespace
