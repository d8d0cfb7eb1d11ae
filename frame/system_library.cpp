#include "frame/system_library.h"

namespace frame {

OwnedModule load_system_library(const char* library) {
  return OwnedModule(LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace frame
