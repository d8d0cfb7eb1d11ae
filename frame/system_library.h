#pragma once
// System libraries taken from the system directory only. A library the program
// imports is looked for when the process starts, before WinMain can keep the loader
// out of the program's folder, and a file there under the same name would be loaded
// in its place; Windows protects only the libraries on its known-DLL list that way
// (winmm.dll is not on it). Libraries that only some programs on the frame need are
// therefore loaded at run time, through here.
#include <windows.h>

#include "frame/owned_handle.h"

namespace frame {

// `library` (a plain file name) from the system directory; empty when it is not there.
OwnedModule load_system_library(const char* library);

// A function of a system library, with the library kept loaded for as long as this
// lives. Empty when the library or the function is missing.
template <typename Function>
class SystemFunction {
 public:
  SystemFunction(const char* library, const char* function)
      : module_(load_system_library(library)),
        address_(module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_.get(), function)))
                         : nullptr) {}

  explicit operator bool() const { return address_ != nullptr; }
  Function get() const { return address_; }

 private:
  OwnedModule module_;
  Function address_;
};

}  // namespace frame
