#include "frame/external_functions.h"

#include <string_view>

#include "frame/gbk_wide.h"
#include "frame/owned_handle.h"
#include "frame/runtime_error.h"
#include "frame/system_library.h"

namespace frame {
namespace {

// Searched in this order for a function declared without a library.
constexpr const char* kStandardLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll"};

struct FoundFunction {
  OwnedModule module;
  const void* address = nullptr;
};

// "#N" names the export with ordinal N, decimal; only the low 16 bits count.
LPCSTR export_name(const char* function) {
  if (function[0] != '#') return function;
  uint32_t ordinal = 0;
  for (const char* digit = function + 1; *digit >= '0' && *digit <= '9'; ++digit) {
    ordinal = ordinal * 10 + static_cast<uint32_t>(*digit - '0');
  }
  return MAKEINTRESOURCEA(ordinal & 0xFFFF);
}

// The module comes back only together with the function; a module without it is
// unloaded here.
FoundFunction find_export(OwnedModule module, const char* function) {
  if (!module) return {};
  FARPROC address = GetProcAddress(module.get(), export_name(function));
  if (address == nullptr) return {};
  return {std::move(module), reinterpret_cast<const void*>(address)};
}

// The installer runs elevated from wherever it was downloaded to, and anyone can
// drop a shell32.dll there. So a library the system directory has is taken from
// there only, and the program folder is asked only for libraries the system does
// not have, by full path, never through the current directory. Its own imports
// follow the process's default directories (the system directory, see WinMain).
OwnedModule load_declared_library(const char* library, const std::string& program_folder) {
  OwnedModule module = load_system_library(library);
  if (!module && !program_folder.empty()) {
    module.reset(LoadLibraryExW(wide_from_gbk(program_folder + "\\" + library).c_str(), nullptr, 0));
  }
  return module;
}

// A name with a drive or device part is a full path and is taken as it is.
OwnedModule load_named_library(const char* library, const std::string& program_folder) {
  if (std::string_view(library).find(':') != std::string_view::npos)
    return OwnedModule(LoadLibraryW(wide_from_gbk(library).c_str()));
  return load_declared_library(library, program_folder);
}

FoundFunction find_in_standard_libraries(const char* function) {
  for (const char* library : kStandardLibraries) {
    FoundFunction found = find_export(load_system_library(library), function);
    if (found.address != nullptr) return found;
  }
  return {};
}

FoundFunction find_function(const char* library, const char* function, const std::string& program_folder) {
  if (library[0] == '\0') return find_in_standard_libraries(function);
  return find_export(load_named_library(library, program_folder), function);
}

[[noreturn]] void report_missing_function(const char* library, const char* function) {
  const std::string message = library[0] == '\0'
                                  ? std::string("无法找到指定DLL库文件中的输出命令“") + function + "”"
                                  : std::string("无法找到指定DLL库文件“") + library + "”中的输出命令“" + function + "”";
  report_runtime_error(message.c_str(), 0, 0, 0);
}

// The first thread to publish a module keeps it as the index's one reference; a
// thread that loaded the same library at the same time gives its reference back.
void publish_module(std::atomic<HMODULE>& slot, OwnedModule module) {
  HMODULE expected = nullptr;
  if (slot.compare_exchange_strong(expected, module.get())) module.release();
}

}  // namespace

void ExternalFunctionTable::assign(uint32_t count, const char* const* libraries, const char* const* functions) {
  entries_ = std::vector<Entry>(count);
  for (uint32_t i = 0; i < count; ++i) {
    entries_[i].library = libraries[i];
    entries_[i].function = functions[i];
  }
}

const void* ExternalFunctionTable::resolve(uint32_t index, const std::string& program_folder) {
  if (index >= entries_.size()) report_runtime_error("未声明的DLL命令", 0, static_cast<int32_t>(index), 0);
  Entry& entry = entries_[index];
  if (const void* address = entry.address.load()) return address;
  FoundFunction found = find_function(entry.library, entry.function, program_folder);
  if (found.address == nullptr) report_missing_function(entry.library, entry.function);
  publish_module(entry.module, std::move(found.module));
  entry.address.store(found.address);
  return found.address;
}

void ExternalFunctionTable::release() {
  for (Entry& entry : entries_) {
    entry.address.store(nullptr);
    const HMODULE module = entry.module.exchange(nullptr);
    if (module != nullptr) FreeLibrary(module);
  }
}

}  // namespace frame
