// The registration step against Wine's real registry, and the user-section step
// against a real Config.ini, driven through a probe that runs both steps.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "files.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOWTAN";

struct StoredValue {
  DWORD type = 0;
  std::string data;
  bool operator==(const StoredValue&) const = default;
};

std::optional<StoredValue> stored(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char data[1024];
  DWORD size = sizeof data;
  StoredValue value;
  const LONG status = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  value.data.assign(data, size);
  return value;
}

StoredValue text(const std::string& value) { return {REG_SZ, value + '\0'}; }
StoredValue dword(uint32_t value) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)}; }

void forget_registration() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey); }

// Each case starts unregistered and leaves no registration behind for other tests.
class Registration : public testing::Test {
 protected:
  void SetUp() override { forget_registration(); }
  void TearDown() override { forget_registration(); }
};

std::string temp_folder(const char* name) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  const std::string folder = std::string(base) + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void run_steps(const std::string& folder) {
  const driver::ProbeRun run = driver::run_probe("TRELLIMO_REGISTRATION_PROBE", folder);
  ASSERT_EQ(run.exit_code, std::optional<DWORD>(0));
}

TEST_F(Registration, FirstInstallationWritesTheThirteenValuesWithTheirTypes) {
  const std::string folder = temp_folder("RegistrationFirst");
  run_steps(folder);
  EXPECT_EQ(stored(""), text(""));
  EXPECT_EQ(stored("DisplayVersion"), text("1.0.1"));
  EXPECT_EQ(stored("VersionMajor"), dword(1));
  EXPECT_EQ(stored("VersionMinor"), dword(0));
  EXPECT_EQ(stored("DisplayName"), text("KOWTAN"));
  EXPECT_EQ(stored("EstimatedSize"), dword(2048));
  EXPECT_EQ(stored("HelpLink"), text("https://www.trellimo.com/"));
  EXPECT_EQ(stored("InstallLocation"), text("\"" + folder + "\""));
  EXPECT_EQ(stored("Publisher"), text("KOWTAN"));
  EXPECT_EQ(stored("VersionBuild"), dword(0));
  EXPECT_EQ(stored("WindowsInstaller"), dword(0));
  EXPECT_EQ(stored("UninstallString"), text("\"" + folder + "\\launch.exe\" --uninst"));
  EXPECT_EQ(stored("DisplayIcon"), text("\"" + folder + "\\launch.exe\""));
}

TEST_F(Registration, ASecondInstallationIntoAnyFolderWritesNothing) {
  const std::string first = temp_folder("RegistrationOnce");
  run_steps(first);
  const auto help_link_before = stored("HelpLink");
  run_steps(temp_folder("RegistrationElsewhere"));
  EXPECT_EQ(stored("InstallLocation"), text("\"" + first + "\""));
  EXPECT_EQ(stored("HelpLink"), help_link_before);
}

TEST_F(Registration, AnEmptyInstallLocationCountsAsNotRegistered) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(key);
  const std::string folder = temp_folder("RegistrationAgain");
  run_steps(folder);
  EXPECT_EQ(stored("InstallLocation"), text("\"" + folder + "\""));
  EXPECT_EQ(stored("DisplayName"), text("KOWTAN"));
}

TEST(UserSection, IsRemovedAndTheOtherSectionsStayByteForByte) {
  const std::string folder = temp_folder("UserSection");
  const std::string config = folder + "\\Config.ini";
  std::ofstream(config, std::ios::binary) << "[audio]\r\nvolume=7\r\n[user]\r\nname=someone\r\ntoken=abc\r\n"
                                             "[voice]\r\npreset=robot\r\n";
  run_steps(folder);
  EXPECT_EQ(support::read_file(config), "[audio]\r\nvolume=7\r\n[voice]\r\npreset=robot\r\n");
}

}  // namespace
