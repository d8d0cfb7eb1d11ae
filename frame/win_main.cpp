#include <windows.h>

#include <cstdlib>

#include "frame/application.h"
#include "frame/exception_barrier.h"
#include "frame/system_library.h"

// What an exception that nobody catches ends in. The C++ library's own handler
// prints the exception's demangled type to standard error before aborting; a
// windowed program has no standard error to read, and the demangler it brings in
// would be a tenth of the program's code. Defined here, in the program's own
// object, the library's handler is never linked.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The first thing the program does: from here on, a library loaded by plain name,
// by us or by a system library on our behalf, comes from the system directory only.
// Not the program folder (LOAD_LIBRARY_SEARCH_APPLICATION_DIR would be searched
// before System32, and an elevated installer run from a downloads folder would pick
// up whatever DLL was planted beside it), not the current directory, not PATH.
// A Windows 7 without the update that brought SetDefaultDllDirectories gets the
// fallback: the current directory is left out, the program folder and PATH are
// not, so the frame loads every system library by full path (system_library.cpp)
// and no library the program imports may be one Windows would take from beside it.
// Declared libraries the system does not have are loaded from the program folder
// by full path (external_functions.cpp).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  frame::restrict_library_search(frame::find_set_default_dll_directories());
  return frame::guarded([] { return frame::Application::instance().run(); });
}
