// The installer driven as a person does it: start it, click with the real mouse,
// read its messages, and look at what landed on the disk and in the registry.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "installed_product.h"
#include "installer_session.h"

namespace installer {
namespace {

constexpr wchar_t kAgreementMessage[] =
    L"您还没有同意《用户许可协议\r\n请在界面左下方查看《用户许可协议》后并同意才能使用本程序";
constexpr wchar_t kInstallingMessage[] = L"现在正在安装中,请不要关闭窗口。";
constexpr wchar_t kStatusTexts[][32] = {
    L"正在抽取文件: 7-zip32.dll ", L"正在抽取文件: BASS_VST.dll", L"正在抽取文件: libcurl.dll ",
    L"正在抽取文件: core.7z",      L"正在抽取文件: launch.exe ",  L"正在抽取文件: zlibwapi.dll",
    L"正在抽取文件: Trellimo.lnk", L"正在写入配置信息: user",     L"正在抽取文件: sw.exe",
    L"正在写入安装信息: KOWTAN"};
constexpr auto kMandatedWaits = 1100ms;

std::string narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(size - 1));
  return bytes;
}

// Starts the installation from the first page; true once the click was heard.
bool start_quick_install(Session& setup) {
  return setup.wait_until_shown(Unit::kQuickInstallButton) && setup.wait_for_tick(Unit::kAgreeToggle, true, 10s) &&
         setup.click_until_hidden(Unit::kQuickInstallButton);
}

bool wait_for_finish_page(Session& setup) { return setup.wait_until_shown(Unit::kStartButton, 60s); }

// Watches the installing page from another thread: every width the progress fill
// takes and every text the status line shows, each recorded when it changes.
class InstallingPageWatch {
 public:
  explicit InstallingPageWatch(const Session& setup) : setup_(setup), thread_([this] { watch(); }) {}
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
      if (!widths_.empty()) {
        const std::wstring text = setup_.text_of(Unit::kStatusLabel);
        if (texts_.empty() || texts_.back() != text) texts_.push_back(text);
      }
      std::this_thread::sleep_for(2ms);
    }
  }

  const Session& setup_;
  std::atomic<bool> done_{false};
  std::vector<int> widths_;
  std::vector<std::wstring> texts_;
  std::thread thread_;
};

// Each test starts on a machine without the product and leaves none behind.
class Installer : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    forget_installation(kDefaultFolder);
  }
  void TearDown() override {
    forget_installation(kDefaultFolder);
    CoUninitialize();
  }

  static std::wstring installed(const wchar_t* name) { return std::wstring(kDefaultFolder) + L"\\" + name; }

  static void expect_payload_installed() {
    for (const wchar_t* name : kPayloadNames) {
      SCOPED_TRACE(narrow(name));
      const std::string bytes = read_file(installed(name));
      EXPECT_FALSE(bytes.empty());
      EXPECT_TRUE(bytes == read_file(embedded_payload_folder() + L"\\" + name)) << "differs from what was embedded";
    }
  }

  static void expect_shortcut(const std::wstring& file, const std::wstring& arguments) {
    SCOPED_TRACE(narrow(file));
    const ShortcutView shortcut = read_shortcut(file);
    ASSERT_TRUE(shortcut.loaded);
    EXPECT_EQ(shortcut.target, installed(L"launch.exe"));
    EXPECT_EQ(shortcut.arguments, arguments);
    EXPECT_EQ(shortcut.working_folder, kDefaultFolder);
    EXPECT_EQ(shortcut.icon_path, installed(L"launch.exe"));
    EXPECT_EQ(shortcut.icon_index, 0);
    EXPECT_EQ(shortcut.show_command, SW_SHOWNORMAL);
    EXPECT_EQ(shortcut.description, L"Trellimo");
  }
};

std::map<std::string, RegistryValue> registration_of(const std::string& folder) {
  return {{"", text_value("")},
          {"DisplayVersion", text_value("1.0.1")},
          {"VersionMajor", number_value(1)},
          {"VersionMinor", number_value(0)},
          {"DisplayName", text_value("KOWTAN")},
          {"EstimatedSize", number_value(2048)},
          {"HelpLink", text_value("https://www.trellimo.com/")},
          {"InstallLocation", text_value("\"" + folder + "\"")},
          {"Publisher", text_value("KOWTAN")},
          {"VersionBuild", number_value(0)},
          {"WindowsInstaller", number_value(0)},
          {"UninstallString", text_value("\"" + folder + "\\launch.exe\" --uninst")},
          {"DisplayIcon", text_value("\"" + folder + "\\launch.exe\"")}};
}

TEST_F(Installer, QuickInstallShowsElevenStepsAndInstallsTheProduct) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  InstallingPageWatch watch(setup);
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(start_quick_install(setup));
  ASSERT_TRUE(wait_for_finish_page(setup)) << "the finish page never came";
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

  expect_payload_installed();
  expect_shortcut(installed(L"卸载Pandrel.lnk"), L"--uninst");
  expect_shortcut(desktop_folder() + L"\\Trellimo.lnk", L"");
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
  EXPECT_FALSE(uninstall_key_in_64_bit_view()) << "a 32-bit installer writes the 32-bit view";

  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, QuickInstallRemovesOnlyTheUserSectionOfConfigIni) {
  write_file(installed(L"Config.ini"), "[main]\r\nskin=dark\r\n[user]\r\nname=someone\r\ntoken=42\r\n[audio]\r\npitch=3\r\n");
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(start_quick_install(setup));
  ASSERT_TRUE(wait_for_finish_page(setup));
  EXPECT_EQ(read_file(installed(L"Config.ini")), "[main]\r\nskin=dark\r\n[audio]\r\npitch=3\r\n");
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, SecondRunOffersTheSameFolderOverwritesTheFilesAndLeavesTheRegistry) {
  {
    Session first;
    ASSERT_TRUE(first.has_window());
    ASSERT_TRUE(start_quick_install(first));
    ASSERT_TRUE(wait_for_finish_page(first));
    EXPECT_EQ(first.close_with_close_button(), std::optional<DWORD>(0));
  }
  const auto registered = uninstall_values();
  ASSERT_EQ(registered.size(), 13u);
  write_file(installed(L"core.7z"), "damaged");

  Session second;
  ASSERT_TRUE(second.has_window());
  EXPECT_EQ(second.text_of(Unit::kFolderLabel), kDefaultFolder) << "the recorded folder, without its quotes";
  ASSERT_TRUE(start_quick_install(second));
  ASSERT_TRUE(wait_for_finish_page(second));
  expect_payload_installed();
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
  EXPECT_TRUE(wait_for_finish_page(setup));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(Installer, StartButtonStartsTheInstalledProductAndEndsTheInstaller) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(start_quick_install(setup));
  ASSERT_TRUE(wait_for_finish_page(setup));

  std::optional<DWORD> exit_code;
  for (int attempt = 0; attempt < 3 && !exit_code; ++attempt) {
    driver::click(setup.unit(Unit::kStartButton));
    exit_code = setup.process().wait_for_exit(10s);
  }
  EXPECT_EQ(exit_code, std::optional<DWORD>(0));
  std::string record;
  for (int wait = 0; wait < 100 && record.empty(); ++wait) {
    record = read_file(installed(L"launch-record.txt"));
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(record.rfind("arguments=[] folder=[", 0), 0u) << record;
}

enum class CloseRequest { kCloseButton, kEscape, kSystemClose };

class CloseGuard : public Installer, public testing::WithParamInterface<CloseRequest> {
 protected:
  static void ask_to_close(Session& setup) {
    switch (GetParam()) {
      case CloseRequest::kCloseButton:
        return driver::click(setup.unit(Unit::kCloseButton));
      case CloseRequest::kEscape:
        return driver::press_key(setup.window(), VK_ESCAPE);
      case CloseRequest::kSystemClose:
        PostMessageW(setup.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
  }
};

// While the worker writes the product's files, no close request ends the installer:
// each shows the message, and the installation goes on to the finish page.
TEST_P(CloseGuard, HoldsWhileInstallingAndTheInstallationFinishes) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(start_quick_install(setup));
  ask_to_close(setup);
  auto box = driver::wait_for_message_box(setup.process().id(), 10s);
  ASSERT_TRUE(box.has_value()) << "a close while installing must be refused with the message";
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, kInstallingMessage);
  dismiss(*box);

  EXPECT_TRUE(wait_for_finish_page(setup)) << "the installation went on to the finish page";
  EXPECT_EQ(setup.process().wait_for_exit(0ms), std::nullopt);
  expect_payload_installed();
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0)) << "on the finish page it closes";
}

INSTANTIATE_TEST_SUITE_P(Installing, CloseGuard,
                         testing::Values(CloseRequest::kCloseButton, CloseRequest::kEscape,
                                         CloseRequest::kSystemClose));

}  // namespace
}  // namespace installer
