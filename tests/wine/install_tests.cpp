// The installer driven as a person does it: start it, click with the real mouse,
// read its messages, and look at what landed on the disk and in the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "files.h"
#include "installer_fixture.h"
#include "reliability_summary.h"

namespace installer {
namespace {

constexpr wchar_t kAgreementMessage[] =
    L"您还没有同意《用户许可协议\r\n请在界面左下方查看《用户许可协议》后并同意才能使用本程序";
constexpr wchar_t kInstallingMessage[] = L"现在正在安装中,请不要关闭窗口。";
constexpr wchar_t kStatusTexts[][32] = {L"正在抽取文件: 7-zip32.dll ", L"正在抽取文件: BASS_VST.dll",
                                        L"正在抽取文件: libcurl.dll ", L"正在抽取文件: core.7z",
                                        L"正在抽取文件: launch.exe ",  L"正在抽取文件: zlibwapi.dll",
                                        L"正在抽取文件: Trellimo.lnk", L"正在写入配置信息: user",
                                        L"正在抽取文件: sw.exe",       L"正在写入安装信息: KOWTAN"};
constexpr auto kMandatedWaits = 1100ms;

// Watches the installing page from another thread: every width the progress fill
// takes and every text the status line shows, each recorded when it changes.
class InstallingPageWatch {
 public:
  explicit InstallingPageWatch(const Session& setup)
      : setup_(setup), text_before_(setup.text_of(Unit::kStatusLabel)), thread_([this] { watch(); }) {}
  ~InstallingPageWatch() { stop(); }

  void stop() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
  }
  const std::vector<int>& widths() const { return widths_; }
  const std::vector<std::wstring>& texts() const { return texts_; }

 private:
  void watch() {
    while (!done_) {
      const int width = setup_.width_of(Unit::kProgressFill);
      if (width != 0 && (widths_.empty() || widths_.back() != width)) widths_.push_back(width);
      // Each step widens the fill before it shows its text, so the first width
      // still stands beside the label's text from before the installation.
      if (!widths_.empty()) {
        const std::wstring text = setup_.text_of(Unit::kStatusLabel);
        if (texts_.empty() ? text != text_before_ : texts_.back() != text) texts_.push_back(text);
      }
      std::this_thread::sleep_for(2ms);
    }
  }

  const Session& setup_;
  const std::wstring text_before_;
  std::atomic<bool> done_{false};
  std::vector<int> widths_;
  std::vector<std::wstring> texts_;
  std::thread thread_;
};

using Installer = InstallerTest;

std::wstring installed(const wchar_t* name) { return in_folder(kDefaultFolder, name); }

TEST_F(Installer, QuickInstallShowsElevenStepsAndInstallsTheProduct) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  InstallingPageWatch watch(setup);
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(setup.start_quick_install());
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  EXPECT_GE(std::chrono::steady_clock::now() - clicked, kMandatedWaits) << "eleven steps of 100 ms each";
  watch.stop();

  std::vector<int> widths;
  for (int step = 1; step <= 11; ++step) widths.push_back(51 * step);
  widths.push_back(562);
  EXPECT_EQ(watch.widths(), widths);
  std::vector<std::wstring> texts(std::begin(kStatusTexts), std::end(kStatusTexts));
  EXPECT_EQ(watch.texts(), texts);
  EXPECT_TRUE(setup.wait_until_shown(Unit::kStartBadge));
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kProgressTrack)));

  expect_payload_installed(kDefaultFolder);
  expect_shortcut(installed(L"卸载Pandrel.lnk"), kDefaultFolder, L"--uninst");
  expect_shortcut(desktop_folder() + L"\\Trellimo.lnk", kDefaultFolder, L"");
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
  EXPECT_FALSE(uninstall_key_in_64_bit_view()) << "a 32-bit installer writes the 32-bit view";

  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// Windows gives both clicks of a quick double click to the button before the
// first one hides it (Wine gives the second to whatever lies below, so the clicks
// are queued to the button here as Windows would). The second must not start a
// second installation beside the first, which would widen the progress fill past
// its track and write every file twice at once.
TEST_F(Installer, DoubleClickOnQuickInstallStartsOneInstallation) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_until_shown(Unit::kQuickInstallButton));
  ASSERT_TRUE(setup.wait_for_tick(Unit::kAgreeToggle, true, 10s));
  InstallingPageWatch watch(setup);
  const HWND button = setup.unit(Unit::kQuickInstallButton);
  const RECT area = driver::window_rect(button);
  const LPARAM middle = MAKELPARAM((area.right - area.left) / 2, (area.bottom - area.top) / 2);
  for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, middle);
  }
  ASSERT_TRUE(setup.wait_until_hidden(Unit::kQuickInstallButton));
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  std::this_thread::sleep_for(kMandatedWaits);
  watch.stop();

  ASSERT_FALSE(watch.widths().empty());
  EXPECT_EQ(*std::max_element(watch.widths().begin(), watch.widths().end()), 562) << "the fill of one installation";
  EXPECT_EQ(watch.texts().size(), std::size(kStatusTexts)) << "each status shown once";
  expect_payload_installed(kDefaultFolder);
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, QuickInstallRemovesOnlyTheUserSectionOfConfigIni) {
  write_file(installed(L"Config.ini"),
             "[main]\r\nskin=dark\r\n[user]\r\nname=someone\r\ntoken=42\r\n[audio]\r\npitch=3\r\n");
  Session setup;
  ASSERT_TRUE(quick_install_finishes(setup));
  EXPECT_EQ(support::read_file(installed(L"Config.ini")), "[main]\r\nskin=dark\r\n[audio]\r\npitch=3\r\n");
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// A folder named in Chinese, recorded by an earlier installation, that already
// holds the product's settings.
TEST_F(Installer, ConfigIniInAFolderWithAChineseNameLosesItsUserSection) {
  const std::wstring folder = L"C:\\中文目录\\变声器\\Trellimo";
  also_forget(L"C:\\中文目录");
  record_install_location("\"" + narrow(folder) + "\"");
  write_file(in_folder(folder, L"Config.ini"), "[main]\r\nskin=dark\r\n[user]\r\nname=someone\r\n");
  Session setup;
  ASSERT_TRUE(quick_install_finishes(setup));
  EXPECT_EQ(support::read_file(in_folder(folder, L"Config.ini")), "[main]\r\nskin=dark\r\n");
  expect_payload_installed(folder);
  // Its properties are not read back here: under a system code page other than 936,
  // the shell link read back gives '?' for each Chinese character of the target
  // (seen with Wine, which stores the target path in the system code page).
  EXPECT_TRUE(file_exists(in_folder(folder, L"卸载Pandrel.lnk")));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, SecondRunOffersTheSameFolderOverwritesTheFilesAndLeavesTheRegistry) {
  {
    Session first;
    ASSERT_TRUE(quick_install_finishes(first));
    EXPECT_EQ(first.close_with_close_button(), std::optional<DWORD>(0));
  }
  const auto registered = uninstall_values();
  ASSERT_EQ(registered.size(), 13u);
  write_file(installed(L"core.7z"), "damaged");

  Session second;
  ASSERT_TRUE(second.has_window());
  EXPECT_EQ(second.text_of(Unit::kFolderLabel), kDefaultFolder) << "the recorded folder, without its quotes";
  ASSERT_TRUE(second.start_quick_install());
  ASSERT_TRUE(second.wait_for_finish_page()) << second.installation_report();
  expect_payload_installed(kDefaultFolder);
  EXPECT_EQ(uninstall_values(), registered);
  EXPECT_EQ(second.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, WithoutTheAgreementQuickInstallShowsTheTwoLineMessageAndNothingElse) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_tick(Unit::kAgreeToggle, true, 10s)) << "the agreement starts ticked";
  ASSERT_TRUE(setup.click_toggle_until(Unit::kAgreeToggle, false));
  auto box = setup.click_until_message_box(Unit::kQuickInstallButton);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, kAgreementMessage);
  dismiss(*box);

  EXPECT_TRUE(IsWindowVisible(setup.unit(Unit::kQuickInstallButton))) << "the first page stays";
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kProgressTrack)));
  EXPECT_FALSE(file_exists(kDefaultFolder));
  EXPECT_TRUE(uninstall_values().empty());

  ASSERT_TRUE(setup.click_toggle_until(Unit::kAgreeToggle, true));
  ASSERT_TRUE(setup.click_until_hidden(Unit::kQuickInstallButton)) << "agreed, the same click installs";
  EXPECT_TRUE(setup.wait_for_finish_page());
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, StartButtonStartsTheInstalledProductAndEndsTheInstaller) {
  Session setup;
  ASSERT_TRUE(quick_install_finishes(setup));

  EXPECT_EQ(start_product(setup), std::optional<DWORD>(0));
  const std::string record = launch_record_in(kDefaultFolder);
  EXPECT_EQ(record.rfind("arguments=[] folder=[", 0), 0u) << record;
}

enum class CloseRequest { kCloseButton, kEscape, kSystemClose };

void ask_to_close(Session& setup, CloseRequest request) {
  switch (request) {
    case CloseRequest::kCloseButton:
      return driver::click(setup.unit(Unit::kCloseButton));
    case CloseRequest::kEscape:
      return driver::press_key(setup.window(), VK_ESCAPE);
    case CloseRequest::kSystemClose:
      PostMessageW(setup.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
  }
}

class CloseGuard : public Installer, public testing::WithParamInterface<CloseRequest> {};

// While the worker writes the product's files, no close request ends the installer:
// each shows the message, and the installation goes on to the finish page.
TEST_P(CloseGuard, HoldsWhileInstallingAndTheInstallationFinishes) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.start_quick_install());
  ask_to_close(setup, GetParam());
  auto box = driver::wait_for_message_box(setup.process().id(), 10s);
  ASSERT_TRUE(box.has_value()) << "a close while installing must be refused with the message; the installer "
                               << (setup.process().wait_for_exit(0ms) ? "has ended" : "is still running");
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, kInstallingMessage);
  dismiss(*box);

  EXPECT_TRUE(setup.wait_for_finish_page()) << "the installation went on to the finish page";
  EXPECT_EQ(setup.process().wait_for_exit(0ms), std::nullopt);
  expect_payload_installed(kDefaultFolder);
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0)) << "on the finish page it closes";
}

INSTANTIATE_TEST_SUITE_P(Installing, CloseGuard,
                         testing::Values(CloseRequest::kCloseButton, CloseRequest::kEscape,
                                         CloseRequest::kSystemClose));

// The finish page means the installation is over: a close request that lands the
// moment its button shows ends the installer, with no "installation running" box.
// The test watches as closely as it can, so that the request meets the page as it
// appears; each attempt is a fresh installation.
TEST_F(Installer, ACloseAsTheFinishPageAppearsEndsTheInstaller) {
  for (int attempt = 1; attempt <= 3; ++attempt) {
    Session setup;
    ASSERT_TRUE(setup.start_quick_install());
    const HWND start_button = setup.unit(Unit::kStartButton);
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!IsWindowVisible(start_button) && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    PostMessageW(setup.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(setup.process().wait_for_exit(10s), std::optional<DWORD>(0))
        << "attempt " << attempt << ": the close was refused on the finish page";
  }
}

constexpr int kStormRequests = 60;

// Without a window manager, which the test display has none of, Wine waits two
// seconds for one whenever a window it lets one manage closes: sixty message boxes
// would take two minutes. For as long as this lives, Wine places the installer's
// windows itself.
class UnmanagedInstallerWindows {
 public:
  UnmanagedInstallerWindows() { RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, L"Managed", REG_SZ, L"N", sizeof L"N"); }
  ~UnmanagedInstallerWindows() {
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettings);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProgramSettings);
  }
  UnmanagedInstallerWindows(const UnmanagedInstallerWindows&) = delete;
  UnmanagedInstallerWindows& operator=(const UnmanagedInstallerWindows&) = delete;

 private:
  static constexpr wchar_t kProgramSettings[] = L"Software\\Wine\\AppDefaults\\TrellimoSetup.exe";
  static constexpr wchar_t kSettings[] = L"Software\\Wine\\AppDefaults\\TrellimoSetup.exe\\X11 Driver";
};

// Answers a box with the Enter key, then waits for it to go: until then its own
// message loop takes the installer's keys.
bool answer_with_enter(const driver::MessageBoxView& box) {
  driver::press_key(box.hwnd, VK_RETURN);
  return driver::wait_until(5s, [&] { return IsWindow(box.hwnd) == FALSE; });
}

// The installation is not over while it waits on the user's answer to its message
// about a file another program holds, and a user told that something went wrong may
// well try to close the installer again and again. The message belongs to the
// installer window and keeps it disabled behind it, so sixty requests, clicks on the
// close button and the system close command in turn, reach nothing: no request
// ends the installer, none raises a second message, and the first stays up. Then
// the user answers, the finish page comes, and everything is installed but the
// held file, which is as it was.
class CloseStorm : public InstallerTest {};

TEST_F(CloseStorm, RequestsWhileTheMessageIsUpReachNothingAndTheInstallationFinishes) {
  const FileContents before = lay_down_earlier_version(kDefaultFolder);
  HeldFile held(installed(L"core.7z"), 0);
  ASSERT_TRUE(held.held());
  const UnmanagedInstallerWindows unmanaged;
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.start_quick_install());
  const auto told = driver::wait_for_message_box_saying(setup.process().id(),
                                                        std::wstring(kFilesNotWrittenMessage) + L"\r\ncore.7z", 30s);
  ASSERT_TRUE(told.has_value()) << setup.installation_report();
  EXPECT_EQ(GetWindow(told->hwnd, GW_OWNER), setup.window());

  reliability::GroupCount& count = reliability::group("close guard");
  for (int sent = 0; sent < kStormRequests; ++sent) {
    ASSERT_FALSE(IsWindowEnabled(setup.window())) << "the message keeps the window disabled";
    ask_to_close(setup, sent % 2 == 0 ? CloseRequest::kCloseButton : CloseRequest::kSystemClose);
    ++count.tried;
    ASSERT_EQ(setup.process().wait_for_exit(20ms), std::nullopt) << "request " << sent << " ended the installer";
    ASSERT_TRUE(IsWindow(told->hwnd)) << "the installation still waits on the user";
    ++count.survived;
  }
  EXPECT_FALSE(driver::wait_for_message_box_saying(setup.process().id(), kInstallingMessage, 1s).has_value())
      << "a request reached the disabled window";

  ASSERT_TRUE(answer_with_enter(*told));
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  held.release();
  count.lost += expect_each_file_new_or_intact(kDefaultFolder, before, {true, true, true, {L"core.7z"}});
  expect_shortcut(installed(L"卸载Pandrel.lnk"), kDefaultFolder, L"--uninst");
  expect_shortcut(desktop_folder() + L"\\Trellimo.lnk", kDefaultFolder, L"");
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0)) << "on the finish page it closes";
}

}  // namespace
}  // namespace installer
