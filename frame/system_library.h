#pragma once
// System libraries taken from the system directory only. A library the program
// imports is looked for when the process starts, before WinMain can keep the loader
// out of the program's folder, and a file there under the same name would be loaded
// in its place; Windows protects only the libraries on its known-DLL list that way
// (winmm.dll is not on it). Libraries that only some programs on the frame need are
// therefore loaded at run time, through here.
#include <windows.h>

#include <string>

#include "frame/owned_handle.h"

namespace frame {

// The system directory, without a trailing backslash; empty if it cannot be had.
std::wstring system_directory();

// SetDefaultDllDirectories: Windows 8 has it, Windows 7 only with an update.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// kernel32's SetDefaultDllDirectories, or null where the system lacks it. Imported
// statically, it would keep the program from starting on such a system at all.
SetDefaultDllDirectoriesFunction find_set_default_dll_directories();

// Narrows where a library loaded by plain name is looked for, for the rest of the
// process. Given SetDefaultDllDirectories, to the system directory alone; given
// null, the most an un-updated Windows 7 allows (SetDllDirectory): the current
// directory is left out, but the program folder is still searched first, which is
// why libraries of the system are loaded through load_system_library, by full
// path, either way. False when the system refused.
bool restrict_library_search(SetDefaultDllDirectoriesFunction set_default_directories);

// `library` (a plain file name) from the system directory; empty when it is not there.
OwnedModule load_system_library(const char* library);

// A function of a system library, looked up on first use (once, whichever thread
// asks first) and kept loaded for as long as this lives; null when the library or
// the function is missing. Constant-initialised, so it can live at namespace scope
// rather than as a function-local static behind the C++ library's thread guard.
template <typename Function>
class SystemFunction {
 public:
  constexpr SystemFunction(const char* library, const char* function) : library_(library), function_(function) {}
  SystemFunction(const SystemFunction&) = delete;
  SystemFunction& operator=(const SystemFunction&) = delete;

  Function get() {
    InitOnceExecuteOnce(&looked_up_, &SystemFunction::look_up, this, nullptr);
    return address_;
  }

 private:
  static BOOL CALLBACK look_up(PINIT_ONCE, PVOID self, PVOID*) {
    auto& function = *static_cast<SystemFunction*>(self);
    function.module_ = load_system_library(function.library_);
    if (function.module_) {
      function.address_ = reinterpret_cast<Function>(
          reinterpret_cast<void*>(GetProcAddress(function.module_.get(), function.function_)));
    }
    return TRUE;
  }

  const char* library_;
  const char* function_;
  INIT_ONCE looked_up_ = INIT_ONCE_STATIC_INIT;
  OwnedModule module_;
  Function address_ = nullptr;
};

}  // namespace frame
