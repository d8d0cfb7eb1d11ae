#include "installer_fixture.h"

namespace installer {

std::string narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(size - 1));
  return bytes;
}

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

void expect_payload_installed(const std::wstring& folder) {
  for (const wchar_t* name : kPayloadNames) {
    SCOPED_TRACE(narrow(name));
    const std::string bytes = read_file(in_folder(folder, name));
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(bytes == read_file(in_folder(embedded_payload_folder(), name))) << "differs from what was embedded";
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

}  // namespace installer
