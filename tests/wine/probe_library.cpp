// A library of ours for the external-function tests: one export by name, one by
// ordinal only, two that do not match the calling sequence, and a DllMain that
// says when it is loaded and how it is unloaded.
#include <windows.h>

#include <cstdint>

#include "probe_support.h"

extern "C" {

int32_t __stdcall probe_add(int32_t a, int32_t b) { return a + b; }

// Exported as ordinal 7 without a name.
int32_t __stdcall probe_times_seven(int32_t a) { return a * 7; }

// The caller is meant to clear the arguments away, which a stdcall caller does not.
int32_t __cdecl probe_cdecl_sum(int32_t a, int32_t b) { return a + b; }

// Clears three arguments away where a declaration with two pushes two.
int32_t __stdcall probe_takes_three(int32_t a, int32_t b, int32_t c) { return a + b + c; }

// A null `reserved` on detach means FreeLibrary unloaded us; otherwise the process
// is ending with the library still loaded.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) probe::log_line("probe_library attached");
  if (reason == DLL_PROCESS_DETACH) {
    probe::log_line(reserved == nullptr ? "probe_library unloaded" : "probe_library detached at exit");
  }
  return TRUE;
}
}
