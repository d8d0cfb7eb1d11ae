#pragma once
// The installer's declared external functions: library and function names from the
// program header, with the module handle and address each index caches once resolved.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace frame {

class ExternalFunctionTable {
 public:
  void assign(uint32_t count, const char* const* libraries, const char* const* functions);

  // The address of the function declared at `index`, its library loaded on first
  // use and kept for the life of the process; later calls return the cached
  // address. A library the system directory does not have is looked for in
  // `program_folder` (empty: nowhere else). Never returns null: an undeclared
  // index, a missing library or a missing export is a fatal run-time error.
  const void* resolve(uint32_t index, const std::string& program_folder);

  // Frees every module an index loaded; the names stay.
  void release();
  size_t size() const { return entries_.size(); }

 private:
  // Two threads may resolve one index at once and neither takes a lock, so the
  // cache words are atomic: the module is published before the address, and a
  // reader that sees the address sees a finished entry.
  struct Entry {
    const char* library = nullptr;
    const char* function = nullptr;
    std::atomic<HMODULE> module{nullptr};
    std::atomic<const void*> address{nullptr};
  };
  std::vector<Entry> entries_;
};

}  // namespace frame
