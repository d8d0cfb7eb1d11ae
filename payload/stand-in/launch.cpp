// Stands in for the product's launch.exe and sw.exe in builds without the real
// payload. Every start appends one line to launch-record.txt beside the program,
// saying how it was started, so that tests can see what the installer ran:
//   arguments=[--uninst] folder=[C:\Program Files\Trellimo] uninstall
// Plain Win32 and header-only owners: the C++ library would not fit the catalogue
// length of sw.exe.
#include <windows.h>

#include "frame/owned_handle.h"

namespace {

// A heap buffer with one owner.
class Buffer {
 public:
  explicit Buffer(DWORD size) : size_(size), chars_(static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size))) {}
  ~Buffer() { HeapFree(GetProcessHeap(), 0, chars_); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  char* chars() const { return chars_; }
  DWORD size() const { return size_; }

 private:
  DWORD size_;
  char* chars_;
};

// launch-record.txt in the program's folder; the program's path is grown into `buffer` size steps.
bool record_path(DWORD size, char* path) {
  const DWORD length = GetModuleFileNameA(nullptr, path, size);
  if (length == 0 || length >= size) return false;
  char* name = path + length;
  while (name > path && name[-1] != '\\') --name;
  const char file_name[] = "launch-record.txt";
  if (static_cast<DWORD>(name - path) + sizeof file_name > size) return false;
  CopyMemory(name, file_name, sizeof file_name);
  return true;
}

bool asks_to_uninstall(const char* arguments) {
  const char flag[] = "--uninst";
  const int flag_length = sizeof flag - 1;
  for (const char* at = arguments; *at != '\0'; ++at) {
    const bool starts_word = at == arguments || at[-1] == ' ';
    const char end = at[flag_length <= lstrlenA(at) ? flag_length : 0];
    if (starts_word && (end == '\0' || end == ' ') &&
        CompareStringA(LOCALE_INVARIANT, 0, at, flag_length, flag, flag_length) == CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

void write_text(HANDLE file, const char* text) {
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
}

void write_working_folder(HANDLE file) {
  const Buffer folder(GetCurrentDirectoryA(0, nullptr) + 1);
  if (folder.chars() && GetCurrentDirectoryA(folder.size(), folder.chars()) < folder.size()) {
    write_text(file, folder.chars());
  }
}

void append_record(const char* path, const char* arguments) {
  const frame::OwnedFile file(
      CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  write_text(file.get(), "arguments=[");
  write_text(file.get(), arguments);
  write_text(file.get(), "] folder=[");
  write_working_folder(file.get());
  write_text(file.get(), asks_to_uninstall(arguments) ? "] uninstall\r\n" : "]\r\n");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    const Buffer path(size);
    if (path.chars() && record_path(path.size(), path.chars())) {
      append_record(path.chars(), arguments);
      return 0;
    }
  }
  return 1;
}
