// Declared external functions resolved by the real loader from real libraries, one
// scenario per probe process: caching, ordinals, the search without a library
// name, the refusal of impostors beside the program, the release at shutdown, and
// the run-time error boxes, read and answered from outside.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "desktop_driver.h"
#include "files.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;
using driver::ChildProcess;

constexpr DWORD kRuntimeErrorExitCode = 0xFFFFFFFF;
constexpr const wchar_t* kImpostorNames[] = {L"shell32.dll", L"ole32.dll", L"shlwapi.dll", L"kernel32.dll"};
constexpr const wchar_t* kProbeWineSettings = L"Software\\Wine\\AppDefaults\\external_probe.exe";

std::wstring built_file(const char* variable) {
  const std::string path = driver::program_from_environment(variable);
  EXPECT_FALSE(path.empty()) << variable << " is not set";
  return driver::windows_path(path);
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A scratch folder laid out like a downloads folder an installer is started from:
// the probe program, the library only it has, and impostors under the names of
// system libraries.
class ExternalFunctions : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"trellimo-external-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    copy(built_file("TRELLIMO_EXTERNAL_PROBE"), L"external_probe.exe");
    copy(built_file("TRELLIMO_PROBE_LIBRARY"), L"probe_library.dll");
    for (const wchar_t* name : kImpostorNames) copy(built_file("TRELLIMO_PLANTED_LIBRARY"), name);
    prefer_library_files();
    SetEnvironmentVariableW(L"TRELLIMO_PROBE_LOG", path(L"probe.log").c_str());
  }

  static void TearDownTestSuite() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProbeWineSettings);
    for (const wchar_t* name : {L"external_probe.exe", L"probe_library.dll", L"probe.log"}) {
      DeleteFileW(path(name).c_str());
    }
    for (const wchar_t* name : kImpostorNames) {
      DeleteFileW(path(name).c_str());
      DeleteFileW(marker(name).c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }

  void SetUp() override {
    DeleteFileW(path(L"probe.log").c_str());
    for (const wchar_t* name : kImpostorNames) DeleteFileW(marker(name).c_str());
  }

  // Wine prefers its own builtin system libraries to any file of the same name,
  // which would hide a loader that looks in the program folder; Windows loads the
  // file. For the probe, Wine is asked to do the same for shell32 and shlwapi.
  // ole32 and kernel32 stay builtin: the probe imports them, and Windows takes
  // those from its known-DLL list, never from the program folder.
  static void prefer_library_files() {
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kProbeWineSettings) + L"\\DllOverrides").c_str(), 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    for (const wchar_t* library : {L"shell32", L"shlwapi"}) {
      RegSetValueExW(overrides, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"native,builtin"),
                     sizeof L"native,builtin");
    }
    RegCloseKey(overrides);
  }

  static std::wstring path(const std::wstring& name) { return folder_ + L"\\" + name; }
  static std::wstring marker(const std::wstring& impostor) { return path(impostor + L".loaded"); }
  static void copy(const std::wstring& from, const wchar_t* name) {
    EXPECT_TRUE(CopyFileW(from.c_str(), path(name).c_str(), FALSE))
        << "cannot copy to " << testing::PrintToString(name);
  }

  static std::unique_ptr<ChildProcess> start(const std::string& scenario) {
    auto probe =
        std::make_unique<ChildProcess>(path(L"external_probe.exe"), std::wstring(scenario.begin(), scenario.end()));
    EXPECT_TRUE(probe->started());
    return probe;
  }

  static std::string log() { return support::read_text(path(L"probe.log")); }

  static std::vector<std::wstring> impostors_loaded() {
    std::vector<std::wstring> loaded;
    for (const wchar_t* name : kImpostorNames) {
      if (file_exists(marker(name))) loaded.push_back(name);
    }
    return loaded;
  }

  static inline std::wstring folder_;
};

// Scenarios that end normally: the log they leave, and which impostors beside the
// program were loaded.
struct EndedRun {
  const char* name;  // the test's name
  const char* scenario;
  const char* log;
  std::vector<std::wstring> impostors;
};

std::string ended_run_name(const testing::TestParamInfo<EndedRun>& run) { return run.param.name; }

class EndingExternalFunction : public ExternalFunctions, public testing::WithParamInterface<EndedRun> {};

TEST_P(EndingExternalFunction, EndsWithZeroAndItsLog) {
  EXPECT_EQ(start(GetParam().scenario)->wait_for_exit(30s), std::optional<DWORD>(0));
  EXPECT_EQ(log(), GetParam().log);
  EXPECT_EQ(impostors_loaded(), GetParam().impostors);
}

INSTANTIATE_TEST_SUITE_P(
    Loading, EndingExternalFunction,
    testing::Values(
        // "unloaded" comes from DllMain only when FreeLibrary took the last reference.
        EndedRun{"SecondResolveOfAnIndexLoadsNothingAndShutdownGivesTheOneReferenceBack",
                 "by-name-twice",
                 "probe_library attached\nsame address\nprobe_add 5\nprobe_library.dll from the program folder\n"
                 "exit routine\nprobe_library unloaded\n",
                 {}},
        EndedRun{"HashNameResolvesTheExportByOrdinalKeepingSixteenBits",
                 "ordinal",
                 "probe_library attached\n#7 is ordinal 7\n#65543 is ordinal 7\n#7 of 6 is 42\n"
                 "exit routine\nprobe_library unloaded\n",
                 {}},
        EndedRun{"EmptyLibraryNameTakesTheFirstStandardLibraryThatHasTheFunction",
                 "no-library",
                 "GetTickCount from kernel32\nIsWindowVisible from user32\nmpr.dll not loaded yet\n"
                 "WNetGetConnectionA from mpr\nexit routine\n",
                 {}},
        EndedRun{"ImpostorBesideTheProgramIsLoadedWhenItsPathIsAskedFor",
                 "impostor-by-path",
                 "loaded the shlwapi.dll beside the program\nexit routine\n",
                 {L"shlwapi.dll"}},
        EndedRun{"SystemLibrariesComeFromTheSystemDirectoryAndNeverFromImpostorsBesideTheProgram",
                 "system-libraries",
                 "PathFindExtensionA .gz\nSHGetSpecialFolderPathA 1\nCoGetCurrentProcess answered\n"
                 "GetCurrentProcessId answered\nshlwapi.dll from the system directory\n"
                 "shell32.dll from the system directory\nexit routine\n",
                 {}},
        EndedRun{"LoadingByPlainNameSearchesNeitherTheProgramFolderNorTheCurrentDirectory",
                 "plain-name",
                 "plain name did not find probe_library.dll\nexit routine\n",
                 {}}),
    ended_run_name);

struct FatalCase {
  const char* scenario;
  std::wstring box_text;
  // What the log holds while the box is up, and what the shutdown adds.
  const char* log_at_box;
  const char* log_at_exit;
};

class FatalExternalFunction : public ExternalFunctions, public testing::WithParamInterface<FatalCase> {};

TEST_P(FatalExternalFunction, ShowsTheRuntimeErrorBoxAndExitsWithMinusOneWhenAnswered) {
  auto probe = start(GetParam().scenario);
  auto box = driver::wait_for_message_box(probe->id(), 20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"错误");
  EXPECT_EQ(box->text, GetParam().box_text);
  EXPECT_EQ(log(), GetParam().log_at_box);
  EXPECT_EQ(probe->wait_for_exit(200ms), std::nullopt) << "the box must hold the program until it is answered";

  ASSERT_TRUE(driver::press_box_button(*box, IDOK));
  EXPECT_EQ(probe->wait_for_exit(30s), std::optional<DWORD>(kRuntimeErrorExitCode));
  EXPECT_EQ(log(), std::string(GetParam().log_at_box) + GetParam().log_at_exit);
}

std::wstring missing_function_text(const std::wstring& message) { return driver::runtime_error_text(message, L"0, 0"); }

std::wstring stack_error_text(const std::wstring& location) {
  return L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n\r\n" + location + L"\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Resolution, FatalExternalFunction,
    testing::Values(
        FatalCase{"missing-library",
                  missing_function_text(L"无法找到指定DLL库文件“no_such_library.dll”中的输出命令“AnyFunction”"), "",
                  "exit routine\n"},
        // The library that lacks the export is unloaded before the box shows.
        FatalCase{"missing-export",
                  missing_function_text(L"无法找到指定DLL库文件“probe_library.dll”中的输出命令“probe_missing”"),
                  "probe_library attached\nprobe_library unloaded\n", "exit routine\n"},
        FatalCase{"missing-anywhere", missing_function_text(L"无法找到指定DLL库文件中的输出命令“NoSuchFunction”"), "",
                  "exit routine\n"},
        FatalCase{"undeclared", driver::runtime_error_text(L"未声明的DLL命令", L"15, 0"), "", "exit routine\n"}));

// The detail line locates the call: the calling routine's identifier and offset.
INSTANTIATE_TEST_SUITE_P(
    StackCheck, FatalExternalFunction,
    testing::Values(FatalCase{"stack-left-over", stack_error_text(L"67174525, 80"), "probe_library attached\n",
                              "exit routine\nprobe_library unloaded\n"},
                    FatalCase{"stack-over-taken", stack_error_text(L"67174526, 96"), "probe_library attached\n",
                              "exit routine\nprobe_library unloaded\n"}));

}  // namespace
