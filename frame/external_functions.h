#pragma once
// The installer's declared external functions: library and function names from the
// program header, with the module handle and address each index caches once resolved.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace frame {

class ExternalFunctionTable {
 public:
  void assign(uint32_t count, const char* const* libraries, const char* const* functions);
  // Frees every module an index loaded; the names stay.
  void release();
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    const char* library;
    const char* function;
    HMODULE module;
    FARPROC address;
  };
  std::vector<Entry> entries_;
};

}  // namespace frame
