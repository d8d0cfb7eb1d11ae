// Shortcuts made inside a program on the frame by the installer's make-shortcut
// routine and the automation services, one scenario per probe process, read back
// from outside through the shell's own IShellLinkW.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "files.h"
#include "installed_product.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;

constexpr char kProbe[] = "TRELLIMO_SHORTCUT_PROBE";

using installer::file_exists;
using installer::read_shortcut;
using installer::ShortcutView;

void write_empty_file(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// A fresh folder holding the program the shortcuts start, named to the probe.
class Shortcuts : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"trellimo-shortcuts-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    write_empty_file(path(L"launch.exe"));
    write_empty_file(path(L"launch"));
    SetEnvironmentVariableW(L"TRELLIMO_SHORTCUT_FOLDER", folder_.c_str());
  }

  void TearDown() override {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path(L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW(path(found.cFileName).c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder_.c_str());
    CoUninitialize();
  }

  std::wstring path(const std::wstring& name) const { return folder_ + L"\\" + name; }

  std::vector<std::string> run(const std::string& scenario) {
    const driver::ProbeRun run = driver::run_probe(kProbe, scenario);
    EXPECT_EQ(run.exit_code, 0u) << scenario;
    return support::lines_of(run.log);
  }

  std::wstring folder_;
};

// Both shortcuts of an installation start launch.exe from the installation folder.
void expect_installer_shortcut(const ShortcutView& shortcut, const std::wstring& folder,
                               const std::wstring& arguments) {
  ASSERT_TRUE(shortcut.loaded);
  EXPECT_EQ(shortcut.target, folder + L"\\launch.exe");
  EXPECT_EQ(shortcut.arguments, arguments);
  EXPECT_EQ(shortcut.working_folder, folder);
  EXPECT_EQ(shortcut.icon_path, folder + L"\\launch.exe");
  EXPECT_EQ(shortcut.icon_index, 0);
  EXPECT_EQ(shortcut.show_command, SW_SHOWNORMAL);
  EXPECT_EQ(shortcut.description, L"Trellimo");
}

TEST_F(Shortcuts, TheUninstallShortcutHasTheInstallersProperties) {
  const auto log = run("installer-shortcuts");
  EXPECT_EQ(log, (std::vector<std::string>{"uninstall made", "desktop made", "COM balanced on the worker"}));
  expect_installer_shortcut(read_shortcut(path(L"卸载Pandrel.lnk")), folder_, L"--uninst");
}

TEST_F(Shortcuts, TheDesktopShortcutHasNoArguments) {
  run("installer-shortcuts");
  expect_installer_shortcut(read_shortcut(path(L"Trellimo.lnk")), folder_, L"");
}

TEST_F(Shortcuts, MakingThemAgainWritesTheSameProperties) {
  run("installer-shortcuts");
  const ShortcutView first = read_shortcut(path(L"卸载Pandrel.lnk"));
  DeleteFileW(path(L"Trellimo.lnk").c_str());
  run("installer-shortcuts");
  const ShortcutView second = read_shortcut(path(L"卸载Pandrel.lnk"));
  ASSERT_TRUE(second.loaded);
  EXPECT_EQ(second.target, first.target);
  EXPECT_EQ(second.arguments, first.arguments);
  EXPECT_EQ(second.icon_path, first.icon_path);
  EXPECT_TRUE(file_exists(path(L"Trellimo.lnk")));
}

TEST_F(Shortcuts, AnIconIsChosenFromTheTargetsExtension) {
  const auto log = run("chosen-icons");
  EXPECT_EQ(log, (std::vector<std::string>{"no extension made", "with extension made", "no folder made",
                                           "COM balanced on the worker"}));
  const ShortcutView bare = read_shortcut(path(L"bare.lnk"));
  ASSERT_TRUE(bare.loaded);
  EXPECT_EQ(bare.icon_path, L"SHELL32.dll");
  EXPECT_EQ(bare.icon_index, 4);
  const ShortcutView plain = read_shortcut(path(L"plain.lnk"));
  ASSERT_TRUE(plain.loaded);
  EXPECT_EQ(plain.icon_path, path(L"launch.exe"));
  EXPECT_EQ(plain.icon_index, 0);
  EXPECT_EQ(plain.show_command, SW_SHOWMAXIMIZED);
  // Nothing given reads as the empty text.
  EXPECT_EQ(plain.arguments, L"");
  EXPECT_EQ(plain.description, L"");
}

TEST_F(Shortcuts, ATargetWithoutAFolderGetsNoWorkingFolder) {
  run("chosen-icons");
  const ShortcutView shortcut = read_shortcut(path(L"nofolder.lnk"));
  ASSERT_TRUE(shortcut.loaded);
  EXPECT_EQ(shortcut.working_folder, L"");
}

TEST_F(Shortcuts, FolderOfPathAndDesktopFolder) {
  const auto log = run("folder-texts");
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "folder of path [C:\\a\\b]");
  EXPECT_EQ(log[1], "folder of bare name []");
  const std::wstring wide = installer::desktop_folder();
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(log[2], "desktop [" + std::string(wide.begin(), wide.end()) + "]");
}

// Puts send one value, in the property's put form, with the named argument
// DISPID_PROPERTYPUT (-3); VT_BSTR is 8, VT_I4 is 3, VT_ERROR 10.
TEST_F(Shortcuts, PropertyValuesTravelAsTheirOwnTypes) {
  const auto log = run("property-values");
  const std::vector<std::string> expected = {
      "shortcut object",
      "invoke flags 4 types 8 named -3",
      "text true error 0",
      "invoke flags 4 types 3 named -3",
      "integer true error 0",
      "invoke flags 4 types 3 named -3",
      "integer into text true error 0",
      "invoke flags 4 types 8 named -3",
      "text into integer true error 0",
      "two values false error -5",
      "invoke flags 4 types 8 named -3",
      "trailing omitted true error 0",
      "invoke flags 4 types 8 named -3",
      "hot key false error -11",
      "unknown name false error -3",
      "invoke flags 1 types",
      // Save answers VT_EMPTY: no object, and nothing failed.
      "save gave an empty object error 0",
  };
  EXPECT_EQ(log, expected);
  const ShortcutView saved = read_shortcut(path(L"values.lnk"));
  ASSERT_TRUE(saved.loaded);
  EXPECT_EQ(saved.arguments, L"42");
  EXPECT_EQ(saved.show_command, SW_SHOWMAXIMIZED);
  EXPECT_EQ(saved.description, L"说明");
  EXPECT_EQ(saved.target, path(L"launch.exe"));
}

TEST_F(Shortcuts, AClassIdSkipsTheTypeLibrary) {
  const auto log = run("creation-paths");
  EXPECT_EQ(log, (std::vector<std::string>{"by class id with a missing library true error 0", "class id: object",
                                           "by name with a missing library false error 0", "missing library: empty"}));
}

TEST_F(Shortcuts, TheLastAutomationErrorIsPerThread) {
  const auto log = run("errors-per-thread");
  EXPECT_EQ(log, (std::vector<std::string>{"main empty object false error -1", "worker before any dispatch 0",
                                           "worker true error 0", "main after the worker -1"}));
}

// Each shortcut loads wshom's type library and drives four objects; those made after
// the first 200 (to 400 in `make test`, 2,000 in `make stress`) may hold at most 4
// more handles and 128 KB more private memory than the first 200 did. (A plain LoadTypeLib of "wshom.ocx" registers the library again on every
// load and Wine keeps 15 handles each time; the service loads without registering.)
TEST_F(Shortcuts, ManyShortcutsKeepHandlesAndMemoryFlat) {
  const int shortcuts = driver::soak_size("TRELLIMO_STRESS_SHORTCUTS", 400);
  driver::Probe probe(kProbe, "many-shortcuts");
  ASSERT_EQ(probe.process().wait_for_exit(std::chrono::seconds(60 + shortcuts / 5)), 0u);
  EXPECT_EQ(driver::usage_growth_beyond(support::lines_of(probe.log()), "after 200",
                                        "after " + std::to_string(shortcuts), 4, 128 * 1024),
            "");
}

}  // namespace
