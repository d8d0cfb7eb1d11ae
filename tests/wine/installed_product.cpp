#include "installed_product.h"

// After windows.h, which they need.
#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "desktop_driver.h"
#include "files.h"

namespace installer {
namespace {

// Wine's IShellLinkW answers SW_SHOWNORMAL whatever the file holds, so the show
// command is read from the file's header (a u32 at 0x3C).
constexpr DWORD kShowCommandOffset = 0x3C;

int show_command_in(const std::wstring& file) {
  const std::string bytes = support::read_file(file);
  int32_t show_command = -1;
  if (bytes.size() >= kShowCommandOffset + sizeof show_command) {
    CopyMemory(&show_command, bytes.data() + kShowCommandOffset, sizeof show_command);
  }
  return show_command;
}

// An open registry key with one owner.
class Key {
 public:
  Key(REGSAM view, REGSAM access) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, widen(kUninstallKey).c_str(), 0, access | view, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }
 private:
  HKEY key_ = nullptr;
};

// Every missing folder above the file `path`, from the top down. Unlike
// std::filesystem, CreateDirectoryW takes the \\?\ form of paths beyond MAX_PATH.
void make_parent_folders(const std::wstring& path) {
  const size_t root = path.find(L":\\");
  for (size_t end = path.find(L'\\', root == std::wstring::npos ? 0 : root + 2); end != std::wstring::npos;
       end = path.find(L'\\', end + 1)) {
    CreateDirectoryW(path.substr(0, end).c_str(), nullptr);
  }
}

}  // namespace

constexpr UINT kGbkCodePage = 936;

std::string narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(kGbkCodePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(size - 1));
  return bytes;
}

std::wstring widen(const std::string& gbk) {
  const int size = MultiByteToWideChar(kGbkCodePage, 0, gbk.c_str(), -1, nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.c_str(), -1, text.data(), size);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

const wchar_t* const kPayloadNames[7] = {L"7-zip32.dll", L"BASS_VST.dll", L"libcurl.dll", L"core.7z",
                                         L"launch.exe",  L"zlibwapi.dll", L"sw.exe"};

void write_file(const std::wstring& path, const std::string& bytes) {
  make_parent_folders(path);
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool is_folder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// FindFirstFileW, unlike std::filesystem, takes the \\?\ form of paths.
std::vector<std::wstring> files_in(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void remove_tree(const std::wstring& path) {
  if (!is_folder(path)) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return;
  }
  for (const std::wstring& name : files_in(path)) remove_tree(path + L"\\" + name);
  RemoveDirectoryW(path.c_str());
}

std::wstring embedded_payload_folder() {
  return driver::windows_path(driver::program_from_environment("TRELLIMO_EMBEDDED_PAYLOAD"));
}

std::map<std::string, RegistryValue> uninstall_values() {
  std::map<std::string, RegistryValue> values;
  const Key key(0, KEY_READ);
  if (!key.get()) return values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD name_length = std::size(name);
    RegistryValue value;
    DWORD size = 0;
    if (RegEnumValueW(key.get(), index, name, &name_length, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
      break;
    }
    value.data.resize(size);
    name_length = std::size(name);
    RegEnumValueW(key.get(), index, name, &name_length, nullptr, &value.type, value.data.data(), &size);
    values[narrow(name)] = value;
  }
  return values;
}

RegistryValue text_value(const std::string& text) {
  const std::wstring wide = widen(text);
  const auto* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
  return RegistryValue{REG_SZ, std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * sizeof(wchar_t))};
}

RegistryValue number_value(DWORD number) {
  const auto* bytes = reinterpret_cast<const BYTE*>(&number);
  return RegistryValue{REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof number)};
}

bool uninstall_key_in_64_bit_view() {
  BOOL emulated = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &emulated) || !emulated) return false;
  return Key(KEY_WOW64_64KEY, KEY_READ).get() != nullptr;
}

void record_install_location(const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, widen(kUninstallKey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring wide = widen(text);
  RegSetValueExW(key, L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

ShortcutView read_shortcut(const std::wstring& file) {
  ShortcutView view;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return view;
  }
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    view.loaded = SUCCEEDED(persist->Load(file.c_str(), STGM_READ));
    persist->Release();
  }
  wchar_t text[MAX_PATH * 2] = {};
  if (view.loaded && SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) view.target = text;
  if (view.loaded && SUCCEEDED(link->GetArguments(text, MAX_PATH))) view.arguments = text;
  if (view.loaded && SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) view.working_folder = text;
  if (view.loaded && SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &view.icon_index))) view.icon_path = text;
  if (view.loaded && SUCCEEDED(link->GetDescription(text, MAX_PATH))) view.description = text;
  link->Release();
  view.show_command = show_command_in(file);
  return view;
}

std::wstring desktop_folder() {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
  return path;
}

void forget_installation(const std::wstring& folder) {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, widen(kUninstallKey).c_str());
  remove_tree(folder);
  DeleteFileW((desktop_folder() + L"\\Trellimo.lnk").c_str());
}

}  // namespace installer
