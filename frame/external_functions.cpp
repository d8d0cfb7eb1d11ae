#include "frame/external_functions.h"

namespace frame {

void ExternalFunctionTable::assign(uint32_t count, const char* const* libraries, const char* const* functions) {
  entries_.clear();
  entries_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) entries_.push_back({libraries[i], functions[i], nullptr, nullptr});
}

void ExternalFunctionTable::release() {
  for (Entry& entry : entries_) {
    if (entry.module != nullptr) FreeLibrary(entry.module);
    entry.module = nullptr;
    entry.address = nullptr;
  }
}

}  // namespace frame
