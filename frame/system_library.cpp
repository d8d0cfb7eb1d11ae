#include "frame/system_library.h"

#include <string>

namespace frame {
namespace {

// The system directory, without a trailing backslash; empty if it cannot be had.
std::string system_directory() {
  const UINT size = GetSystemDirectoryA(nullptr, 0);
  if (size == 0) return "";
  std::string path(size, '\0');
  const UINT length = GetSystemDirectoryA(path.data(), size);
  path.resize(length < size ? length : 0);
  return path;
}

}  // namespace

SetDefaultDllDirectoriesFunction find_set_default_dll_directories() {
  return reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
}

// The fallback names the system directory rather than an empty string: on Windows
// either takes the current directory out of the search, in its place, but Wine
// takes an empty one for none set and keeps searching the current directory.
bool restrict_library_search(SetDefaultDllDirectoriesFunction set_default_directories) {
  if (set_default_directories != nullptr) return set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
  const std::string system = system_directory();
  return !system.empty() && SetDllDirectoryA(system.c_str()) != FALSE;
}

// By full path rather than with LOAD_LIBRARY_SEARCH_SYSTEM32, which a Windows 7
// without the update that brought SetDefaultDllDirectories refuses as an invalid
// parameter. With the altered search path, the libraries it imports in turn are
// looked for first in its own folder, the system directory, where the program
// folder would otherwise come first.
OwnedModule load_system_library(const char* library) {
  const std::string system = system_directory();
  if (system.empty()) return OwnedModule();
  const std::string path = system + "\\" + library;
  return OwnedModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace frame
