#pragma once
// What an installation leaves on the machine, read back from outside the installer:
// files, the product's Uninstall key, and shortcuts as the shell reads them.
#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <map>
#include <string>
#include <vector>

namespace installer {

// GBK (code page 936, whatever the system's code page), the installer's own texts,
// and back.
std::string narrow(const std::wstring& text);
std::wstring widen(const std::string& gbk);

void write_file(const std::wstring& path, const std::string& bytes);
// Paths may take the \\?\ form, which reaches beyond MAX_PATH.
bool file_exists(const std::wstring& path);
bool is_folder(const std::wstring& path);
// Names of the files and folders directly inside `folder`.
std::vector<std::wstring> files_in(const std::wstring& folder);
// The file, or the folder with everything in it, read-only files included.
void remove_tree(const std::wstring& path);

// The folder the payload was embedded from, as the build left it.
std::wstring embedded_payload_folder();
extern const wchar_t* const kPayloadNames[7];

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOWTAN";

// A value as the wide API reads it: texts are UTF-16 with their terminating zero.
struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool operator==(const RegistryValue&) const = default;
};
// Every value of the product's Uninstall key in the view a 32-bit program sees,
// by GBK name ("" for the default value); empty when the key is missing.
std::map<std::string, RegistryValue> uninstall_values();
// The REG_SZ value of a GBK text.
RegistryValue text_value(const std::string& text);
RegistryValue number_value(DWORD number);
// Whether the 64-bit registry view holds the key (false on 32-bit Windows).
bool uninstall_key_in_64_bit_view();
// `text` is GBK; it is stored as UTF-16.
void record_install_location(const std::string& text);

// What a .lnk file holds, as the shell reads it.
struct ShortcutView {
  bool loaded = false;
  std::wstring target;
  std::wstring arguments;
  std::wstring working_folder;
  std::wstring icon_path;
  int icon_index = -1;
  int show_command = -1;
  std::wstring description;
};
// Needs COM initialised on the calling thread.
ShortcutView read_shortcut(const std::wstring& file);
std::wstring desktop_folder();

// Removes the product: its Uninstall key, `folder` with everything in it, and the
// desktop shortcut, so that each test starts on a machine without it.
void forget_installation(const std::wstring& folder);

}  // namespace installer
