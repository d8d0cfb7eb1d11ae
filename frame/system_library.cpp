#include "frame/system_library.h"

#include "frame/gbk_wide.h"

namespace frame {

std::wstring system_directory() {
  const UINT size = GetSystemDirectoryW(nullptr, 0);
  if (size == 0) return L"";
  std::wstring path(size, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), size);
  path.resize(length < size ? length : 0);
  return path;
}

SetDefaultDllDirectoriesFunction find_set_default_dll_directories() {
  return reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
}

// The fallback names the system directory rather than an empty string: on Windows
// either takes the current directory out of the search, in its place, but Wine
// takes an empty one for none set and keeps searching the current directory.
bool restrict_library_search(SetDefaultDllDirectoriesFunction set_default_directories) {
  if (set_default_directories != nullptr) return set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
  const std::wstring system = system_directory();
  return !system.empty() && SetDllDirectoryW(system.c_str()) != FALSE;
}

// By full path rather than with LOAD_LIBRARY_SEARCH_SYSTEM32, which a Windows 7
// without the update that brought SetDefaultDllDirectories refuses as an invalid
// parameter. With the altered search path, the libraries it imports in turn are
// looked for first in its own folder, the system directory, where the program
// folder would otherwise come first.
OwnedModule load_system_library(const char* library) {
  const std::wstring system = system_directory();
  if (system.empty()) return OwnedModule();
  const std::wstring path = system + L"\\" + wide_from_gbk(library);
  return OwnedModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace frame
