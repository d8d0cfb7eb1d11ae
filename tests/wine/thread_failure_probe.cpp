// The real installer with one change: its declared CreateThread is a function of
// this program that fails as the system's does when no thread can be made. The
// installer finds it by this program's own file name, beside itself.
#include <windows.h>

#include <algorithm>

#include "app/declared_functions.h"
#include "app/installer_entry.h"
#include "app/installer_program_header.h"
#include "frame/program_header.h"

extern "C" __declspec(dllexport) HANDLE
    __stdcall probe_failing_create_thread(SECURITY_ATTRIBUTES*, SIZE_T, LPTHREAD_START_ROUTINE, void*, DWORD, DWORD*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

namespace {

const char* libraries[app::kDeclaredFunctionCount];
const char* functions[app::kDeclaredFunctionCount];

// The installer's tables are filled while its constants are set up, so they are
// copied here, once the program runs, rather than while statics are initialised.
int probe_entry() {
  const frame::ProgramHeader installer = app::installer_program_header(app::installer_entry);
  std::copy_n(installer.external_libraries, app::kDeclaredFunctionCount, libraries);
  std::copy_n(installer.external_functions, app::kDeclaredFunctionCount, functions);
  libraries[app::kCreateThread] = "thread_failure_probe.exe";
  functions[app::kCreateThread] = "probe_failing_create_thread@24";
  return app::installer_entry();
}

frame::ProgramHeader header_with_failing_thread() {
  frame::ProgramHeader header = app::installer_program_header(probe_entry);
  header.external_count = app::kDeclaredFunctionCount;
  header.external_libraries = libraries;
  header.external_functions = functions;
  return header;
}

}  // namespace

namespace frame {
const ProgramHeader program_header = header_with_failing_thread();
}  // namespace frame
