#include "installer_fixture.h"

#include <thread>

#include "files.h"

namespace installer {
namespace {

constexpr wchar_t kLineBreak[] = L"\r\n";

// The file names after the message's first line, one a line; nothing when the
// text is not that message.
std::optional<std::set<std::wstring>> files_named_in(const std::wstring& text) {
  const std::wstring heading = std::wstring(kFilesNotWrittenMessage) + kLineBreak;
  if (text.rfind(heading, 0) != 0) return std::nullopt;
  std::set<std::wstring> names;
  for (size_t at = heading.size(); at <= text.size();) {
    const size_t end = std::min(text.find(kLineBreak, at), text.size());
    names.insert(text.substr(at, end - at));
    at = end + std::size(kLineBreak) - 1;
  }
  return names;
}

// Waits for the finish page or a message box, whichever comes first.
std::optional<driver::MessageBoxView> message_before_finish_page(Session& setup) {
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (auto box = driver::wait_for_message_box(setup.process().id(), 0ms)) return box;
    if (IsWindowVisible(setup.unit(Unit::kStartButton))) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
  return std::nullopt;
}

}  // namespace

void InstallerTest::SetUp() {
  CoInitialize(nullptr);
  forget_installation(kDefaultFolder);
}

void InstallerTest::TearDown() {
  forget_installation(kDefaultFolder);
  if (!extra_folder_.empty()) forget_installation(extra_folder_);
  CoUninitialize();
}

std::wstring in_folder(const std::wstring& folder, const wchar_t* name) { return folder + L"\\" + name; }

std::set<std::wstring> names_in(const std::wstring& folder) {
  const auto names = files_in(folder);
  return std::set<std::wstring>(names.begin(), names.end());
}

std::set<std::wstring> installed_names() {
  std::set<std::wstring> names(std::begin(kPayloadNames), std::end(kPayloadNames));
  names.insert(L"卸载Pandrel.lnk");
  return names;
}

void expect_payload_installed(const std::wstring& folder) {
  for (const wchar_t* name : kPayloadNames) {
    SCOPED_TRACE(narrow(name));
    const std::string bytes = support::read_file(in_folder(folder, name));
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(bytes == support::read_file(in_folder(embedded_payload_folder(), name)))
        << "differs from what was embedded";
  }
}

void expect_shortcut(const std::wstring& file, const std::wstring& folder, const std::wstring& arguments) {
  SCOPED_TRACE(narrow(file));
  const ShortcutView shortcut = read_shortcut(file);
  ASSERT_TRUE(shortcut.loaded);
  EXPECT_EQ(shortcut.target, in_folder(folder, L"launch.exe"));
  EXPECT_EQ(shortcut.arguments, arguments);
  EXPECT_EQ(shortcut.working_folder, folder);
  EXPECT_EQ(shortcut.icon_path, in_folder(folder, L"launch.exe"));
  EXPECT_EQ(shortcut.icon_index, 0);
  EXPECT_EQ(shortcut.show_command, SW_SHOWNORMAL);
  EXPECT_EQ(shortcut.description, L"Trellimo");
}

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

FileContents lay_down_earlier_version(const std::wstring& folder) {
  FileContents before;
  for (const wchar_t* name : kPayloadNames) {
    before[name] = "version 0.9 of " + narrow(name);
    write_file(in_folder(folder, name), before[name]);
  }
  return before;
}

std::optional<DWORD> start_product(Session& setup) {
  std::optional<DWORD> exit_code;
  for (int attempt = 0; attempt < 3 && !exit_code; ++attempt) {
    driver::click(setup.unit(Unit::kStartButton));
    exit_code = setup.process().wait_for_exit(10s);
  }
  return exit_code;
}

std::string launch_record_in(const std::wstring& folder) {
  std::string record;
  for (int wait = 0; wait < 100 && record.empty(); ++wait) {
    record = support::read_file(in_folder(folder, L"launch-record.txt"));
    std::this_thread::sleep_for(100ms);
  }
  return record;
}

testing::AssertionResult quick_install_finishes(Session& setup) {
  if (!setup.has_window()) return testing::AssertionFailure() << "no installer window";
  if (!setup.start_quick_install()) return testing::AssertionFailure() << "the quick installation did not start";
  if (!setup.wait_for_finish_page())
    return testing::AssertionFailure() << "no finish page: " << setup.installation_report();
  return testing::AssertionSuccess();
}

Outcome install_to_finish_page(Session& setup) {
  Outcome outcome;
  if (!setup.start_quick_install()) return outcome;
  if (const auto box = message_before_finish_page(setup)) {
    const auto named = files_named_in(box->text);
    if (box->caption == L"信息：" && named && !IsWindowVisible(setup.unit(Unit::kStartButton))) {
      outcome.told = true;
      outcome.told_over_window = GetWindow(box->hwnd, GW_OWNER) == setup.window();
      outcome.files_named = *named;
      dismiss(*box);
    }
  }
  outcome.finished = setup.wait_for_finish_page();
  return outcome;
}

int expect_each_file_new_or_intact(const std::wstring& folder, const FileContents& before, const Outcome& outcome) {
  int lost = 0;
  std::set<std::wstring> kept;
  for (const wchar_t* name : kPayloadNames) {
    const std::wstring path = in_folder(folder, name);
    const auto earlier = before.find(name);
    const bool was_file = earlier != before.end();
    const bool is_new =
        file_exists(path) && support::read_file(path) == support::read_file(in_folder(embedded_payload_folder(), name));
    const bool is_intact = file_exists(path) ? was_file && support::read_file(path) == earlier->second : !was_file;
    EXPECT_TRUE(is_new || is_intact) << narrow(name) << " is neither new nor as it was";
    lost += is_new || is_intact ? 0 : 1;
    if (!is_new) kept.insert(name);
  }
  EXPECT_EQ(kept, outcome.files_named) << "the files kept are the files named to the user";
  return lost;
}

}  // namespace installer
