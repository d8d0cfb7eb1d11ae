// A quick install as a person does it: start the installer, click the quick-install
// button with the real mouse, wait for the finish page, and look at what landed on
// the disk and in the registry; then close it with its close button.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "desktop_driver.h"

namespace {

using namespace std::chrono_literals;

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOWTAN";
constexpr char kDefaultFolder[] = "C:\\Program Files (x86)\\Trellimo";
constexpr const char* kPayloadNames[] = {"7-zip32.dll", "BASS_VST.dll", "libcurl.dll", "core.7z",
                                         "launch.exe",  "zlibwapi.dll", "sw.exe"};

bool wait_until_visible(HWND hwnd, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (IsWindowVisible(hwnd)) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string install_location() {
  char data[MAX_PATH] = {};
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return data;
}

void click_until_gone(HWND box_button, HWND box) {
  for (int attempt = 0; attempt < 3 && IsWindow(box); ++attempt) {
    driver::click(box_button);
    std::this_thread::sleep_for(500ms);
  }
}

enum class CloseRequest { kCloseButton, kSystemClose };

class CloseGuard : public testing::TestWithParam<CloseRequest> {};

// While the worker writes the product's files, neither the close button nor a close
// request to the window (Esc, the system menu) ends the installer: each shows the
// message, and the installation goes on to the finish page.
TEST_P(CloseGuard, HoldsWhileInstallingAndTheInstallationFinishes) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  driver::ChildProcess setup(driver::windows_path(driver::program_from_environment("TRELLIMO_SETUP")));
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);
  HWND quick_install = driver::unit_at(window, 260, 344);
  HWND start_button = driver::unit_at(window, 260, 416);
  HWND close_button = driver::unit_at(window, 654, 10);
  ASSERT_TRUE(wait_until_visible(quick_install, 10s));
  for (int attempt = 0; attempt < 3 && IsWindowVisible(quick_install); ++attempt) {
    driver::click(quick_install);
    std::this_thread::sleep_for(100ms);
  }

  if (GetParam() == CloseRequest::kCloseButton) {
    driver::click(close_button);
  } else {
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  auto box = driver::wait_for_message_box(setup.id(), 10s);
  ASSERT_TRUE(box.has_value()) << "a close while installing must be refused with the message";
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, L"现在正在安装中,请不要关闭窗口。");
  click_until_gone(GetDlgItem(box->hwnd, IDOK), box->hwnd);

  EXPECT_TRUE(wait_until_visible(start_button, 60s)) << "the installation went on to the finish page";
  EXPECT_EQ(setup.wait_for_exit(0ms), std::nullopt);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(0));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

INSTANTIATE_TEST_SUITE_P(Installing, CloseGuard,
                         testing::Values(CloseRequest::kCloseButton, CloseRequest::kSystemClose));

TEST(QuickInstall, WithoutTheAgreementShowsTheTwoLineMessageAndNothingElse) {
  driver::ChildProcess setup(driver::windows_path(driver::program_from_environment("TRELLIMO_SETUP")));
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);
  HWND agree_toggle = driver::unit_at(window, 16, 472);
  HWND quick_install = driver::unit_at(window, 260, 344);
  ASSERT_TRUE(wait_until_visible(quick_install, 10s));
  driver::click(agree_toggle);
  std::this_thread::sleep_for(300ms);
  driver::click(quick_install);
  auto box = driver::wait_for_message_box(setup.id(), 10s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, L"您还没有同意《用户许可协议\r\n请在界面左下方查看《用户许可协议》后并同意才能使用本程序");
  click_until_gone(GetDlgItem(box->hwnd, IDOK), box->hwnd);
  EXPECT_TRUE(IsWindowVisible(quick_install)) << "the first page stays";
  EXPECT_FALSE(IsWindowVisible(driver::unit_at(window, 59, 412))) << "no progress bar";
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(0));
}

TEST(QuickInstall, InstallsTheProductAndShowsTheFinishPage) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  const std::string setup_path = driver::program_from_environment("TRELLIMO_SETUP");
  driver::ChildProcess setup(driver::windows_path(setup_path));
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);
  HWND quick_install = driver::unit_at(window, 260, 344);
  HWND start_button = driver::unit_at(window, 260, 416);
  ASSERT_NE(quick_install, nullptr);
  ASSERT_NE(start_button, nullptr);
  ASSERT_TRUE(wait_until_visible(quick_install, 10s));

  const auto clicked = std::chrono::steady_clock::now();
  for (int attempt = 0; attempt < 3 && IsWindowVisible(quick_install); ++attempt) {
    driver::click(quick_install);
    std::this_thread::sleep_for(300ms);
  }
  ASSERT_TRUE(wait_until_visible(start_button, 60s)) << "the finish page never came";
  EXPECT_GE(std::chrono::steady_clock::now() - clicked, 1100ms) << "eleven steps of 100 ms each";

  const std::string embedded = [] {
    const std::wstring wide = driver::windows_path(driver::program_from_environment("TRELLIMO_EMBEDDED_PAYLOAD"));
    return std::string(wide.begin(), wide.end());
  }();
  for (const char* name : kPayloadNames) {
    SCOPED_TRACE(name);
    const std::string installed = read_file(std::string(kDefaultFolder) + "\\" + name);
    EXPECT_FALSE(installed.empty());
    EXPECT_TRUE(installed == read_file(embedded + "\\" + name));
  }
  EXPECT_EQ(GetFileAttributesW(L"C:\\Program Files (x86)\\Trellimo\\卸载Pandrel.lnk") == INVALID_FILE_ATTRIBUTES,
            false);
  EXPECT_EQ(install_location(), std::string("\"") + kDefaultFolder + "\"");

  HWND close_button = driver::unit_at(window, 654, 10);
  std::optional<DWORD> exit_code;
  for (int attempt = 0; attempt < 3 && !exit_code; ++attempt) {
    driver::click(close_button);
    exit_code = setup.wait_for_exit(10s);
  }
  EXPECT_EQ(exit_code, std::optional<DWORD>(0));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

}  // namespace
