#include <windows.h>

#include "frame/application.h"

// The first thing the program does: from here on, a library loaded by plain name,
// by us or by a system library on our behalf, comes from the system directory only.
// Not the program folder (LOAD_LIBRARY_SEARCH_APPLICATION_DIR would be searched
// before System32, and an elevated installer run from a downloads folder would pick
// up whatever DLL was planted beside it), not the current directory, not PATH.
// Declared libraries the system does not have are loaded from the program folder
// by full path (external_functions.cpp).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return frame::Application::instance().run();
}
