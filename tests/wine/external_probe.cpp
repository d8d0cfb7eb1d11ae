// A program on the frame with a declared-function table of its own. Its entry
// routine plays one scenario, named on its command line, and logs what it saw to
// the file named by TRELLIMO_PROBE_LOG; the probe library logs there too. The
// external-function tests start it from a folder that also holds probe_library.dll
// and impostors named after system libraries.
#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "frame/application.h"
#include "frame/external_call.h"
#include "frame/frame_services.h"
#include "frame/owned_handle.h"
#include "probe_header.h"
#include "probe_support.h"

namespace {

using probe::log_line;

enum Declared : uint32_t {
  kPathFindExtension,
  kSpecialFolderPath,
  kCurrentComProcess,
  kCurrentProcessId,
  kProbeAdd,
  kProbeOrdinalSeven,
  kProbeOrdinalSevenPlus65536,
  kTickCountAnywhere,
  kIsWindowVisibleAnywhere,
  kNetConnectionAnywhere,
  kProbeCdeclSum,
  kProbeTakesThree,
  kMissingLibrary,
  kMissingExport,
  kMissingAnywhere,
  kDeclaredCount,
};

const char* const kLibraries[] = {
    "shlwapi.dll",
    "shell32.dll",
    "ole32.dll",
    "kernel32.dll",
    "probe_library.dll",
    "probe_library.dll",
    "probe_library.dll",
    "",
    "",
    "",
    "probe_library.dll",
    "probe_library.dll",
    "no_such_library.dll",
    "probe_library.dll",
    "",
};
const char* const kFunctions[] = {
    "PathFindExtensionA",
    "SHGetSpecialFolderPathA",
    "CoGetCurrentProcess",
    "GetCurrentProcessId",
    "probe_add",
    "#7",
    "#65543",
    "GetTickCount",
    "IsWindowVisible",
    "WNetGetConnectionA",
    "probe_cdecl_sum",
    "probe_takes_three",
    "AnyFunction",
    "probe_missing",
    "NoSuchFunction",
};
static_assert(std::size(kLibraries) == kDeclaredCount && std::size(kFunctions) == kDeclaredCount);

// Where the stack-mismatch scenarios say the calls are.
constexpr uint32_t kCallerId = 0x0401007D;
constexpr uint32_t kCallOffset = 80;
constexpr uint32_t kOtherCallerId = 0x0401007E;
constexpr uint32_t kOtherCallOffset = 96;

uint32_t word(const void* pointer) { return reinterpret_cast<uint32_t>(pointer); }

uint32_t call(uint32_t index, std::initializer_list<uint32_t> words) {
  return frame::call_external(index, words, kCallerId, kCallOffset);
}

const void* export_address(const char* library, LPCSTR name) {
  return reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleA(library), name));
}

std::string folder_of_module(const char* library) {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(GetModuleHandleA(library), path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of('\\'));
}

std::string system_folder() {
  std::string folder(MAX_PATH, '\0');
  folder.resize(GetSystemDirectoryA(folder.data(), MAX_PATH));
  return folder;
}

void log_where_loaded_from(const char* library) {
  const std::string folder = folder_of_module(library);
  if (lstrcmpiA(folder.c_str(), system_folder().c_str()) == 0) {
    log_line(std::string(library) + " from the system directory");
  } else if (folder == frame::Application::instance().program_folder()) {
    log_line(std::string(library) + " from the program folder");
  } else {
    log_line(std::string(library) + " from " + folder);
  }
}

void log_same(const void* resolved, const void* expected, const std::string& same, const std::string& other) {
  log_line(resolved == expected ? same : other);
}

void exit_routine(int) { log_line("exit routine"); }

// A second resolve of an index answers from the cache: the library keeps the one
// reference the first resolve took, which the shutdown gives back.
void resolve_by_name_twice() {
  const void* first = frame::resolve_external_function(kProbeAdd);
  log_same(frame::resolve_external_function(kProbeAdd), first, "same address", "another address");
  log_line("probe_add " + std::to_string(call(kProbeAdd, {2, 3})));
  log_where_loaded_from("probe_library.dll");
}

void resolve_by_ordinal() {
  const void* seven = frame::resolve_external_function(kProbeOrdinalSeven);
  log_same(seven, export_address("probe_library.dll", MAKEINTRESOURCEA(7)), "#7 is ordinal 7", "#7 is not ordinal 7");
  log_same(frame::resolve_external_function(kProbeOrdinalSevenPlus65536), seven, "#65543 is ordinal 7",
           "#65543 is not ordinal 7");
  log_line("#7 of 6 is " + std::to_string(call(kProbeOrdinalSeven, {6})));
}

void resolve_without_library() {
  log_same(frame::resolve_external_function(kTickCountAnywhere), export_address("kernel32.dll", "GetTickCount"),
           "GetTickCount from kernel32", "GetTickCount from elsewhere");
  log_same(frame::resolve_external_function(kIsWindowVisibleAnywhere), export_address("user32.dll", "IsWindowVisible"),
           "IsWindowVisible from user32", "IsWindowVisible from elsewhere");
  log_line(GetModuleHandleA("mpr.dll") == nullptr ? "mpr.dll not loaded yet" : "mpr.dll already loaded");
  const void* connection = frame::resolve_external_function(kNetConnectionAnywhere);
  log_same(connection, export_address("mpr.dll", "WNetGetConnectionA"), "WNetGetConnectionA from mpr",
           "WNetGetConnectionA from elsewhere");
}

// Impostors of these libraries lie in the program folder.
void call_system_libraries() {
  char file_name[] = "setup.tar.gz";
  log_line(std::string("PathFindExtensionA ") +
           reinterpret_cast<const char*>(call(kPathFindExtension, {word(file_name)})));
  std::string folder(MAX_PATH, '\0');
  log_line("SHGetSpecialFolderPathA " +
           std::to_string(call(kSpecialFolderPath, {0, word(folder.data()), CSIDL_WINDOWS, 0})));
  log_line(call(kCurrentComProcess, {}) != 0 ? "CoGetCurrentProcess answered" : "CoGetCurrentProcess gave 0");
  log_line(call(kCurrentProcessId, {}) == GetCurrentProcessId() ? "GetCurrentProcessId answered"
                                                                : "GetCurrentProcessId gave another id");
  log_where_loaded_from("shlwapi.dll");
  log_where_loaded_from("shell32.dll");
}

// What loading by the program folder's path would do: the tests' evidence that an
// impostor would be noticed.
void load_impostor_by_path() {
  const std::string path = frame::Application::instance().program_folder() + "\\shlwapi.dll";
  const frame::OwnedModule impostor(LoadLibraryA(path.c_str()));
  log_line(impostor ? "loaded the shlwapi.dll beside the program"
                    : "could not load the shlwapi.dll beside the program");
}

// Both the program folder and the current directory hold probe_library.dll.
void load_by_plain_name() {
  const frame::OwnedModule library(LoadLibraryA("probe_library.dll"));
  log_line(library ? "plain name found probe_library.dll" : "plain name did not find probe_library.dll");
}

void resolve_missing_library() { frame::resolve_external_function(kMissingLibrary); }
void resolve_missing_export() { frame::resolve_external_function(kMissingExport); }
void resolve_missing_anywhere() { frame::resolve_external_function(kMissingAnywhere); }
void resolve_undeclared() { frame::resolve_external_function(kDeclaredCount); }

void call_leaving_arguments() { frame::call_external(kProbeCdeclSum, {1, 2}, kCallerId, kCallOffset); }
void call_taking_too_many() { frame::call_external(kProbeTakesThree, {1, 2}, kOtherCallerId, kOtherCallOffset); }

constexpr probe::Scenario kScenarios[] = {
    {"by-name-twice", resolve_by_name_twice},       {"ordinal", resolve_by_ordinal},
    {"no-library", resolve_without_library},        {"system-libraries", call_system_libraries},
    {"impostor-by-path", load_impostor_by_path},    {"plain-name", load_by_plain_name},
    {"missing-library", resolve_missing_library},   {"missing-export", resolve_missing_export},
    {"missing-anywhere", resolve_missing_anywhere}, {"undeclared", resolve_undeclared},
    {"stack-left-over", call_leaving_arguments},    {"stack-over-taken", call_taking_too_many},
};

int probe_entry() {
  frame::initialise_frame();
  frame::register_exit_routine(exit_routine);
  probe::play_named_scenario(kScenarios);
  return 0;
}

}  // namespace

namespace frame {

const ProgramHeader program_header =
    probe::header_without_template(probe_entry, kDeclaredCount, kLibraries, kFunctions);

}  // namespace frame
