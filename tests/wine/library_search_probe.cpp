// Sets the library search order with the frame's own call, as the installer's
// start does, and loads winmm.dll one way; then logs where it came from and whether
// a library only the current directory holds is found by plain name. The first
// argument picks the search order: "resolved" through SetDefaultDllDirectories,
// "fallback" as on a Windows 7 without it, "unrestricted" as the process starts.
// The second picks the load: "frame" through load_system_library, "plain" by
// LoadLibrary of the plain name. A main of its own rather than the frame's WinMain,
// which would have set the search order before the probe could choose.
#include <windows.h>

#include <string>
#include <string_view>

#include "frame/owned_handle.h"
#include "frame/system_library.h"
#include "probe_support.h"

namespace {

std::string folder_of_path(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string module_folder(HMODULE module) {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(module, path.data(), MAX_PATH));
  return folder_of_path(path);
}

std::string system_folder() {
  std::string folder(MAX_PATH, '\0');
  folder.resize(GetSystemDirectoryA(folder.data(), MAX_PATH));
  return folder;
}

std::string current_folder() {
  std::string folder(MAX_PATH, '\0');
  folder.resize(GetCurrentDirectoryA(MAX_PATH, folder.data()));
  return folder;
}

void log_where_from(const char* library, HMODULE module) {
  std::string where = "not found";
  if (module != nullptr) {
    const std::string folder = module_folder(module);
    if (lstrcmpiA(folder.c_str(), system_folder().c_str()) == 0) {
      where = "from the system directory";
    } else if (lstrcmpiA(folder.c_str(), module_folder(nullptr).c_str()) == 0) {
      where = "from the program folder";
    } else if (lstrcmpiA(folder.c_str(), current_folder().c_str()) == 0) {
      where = "from the current directory";
    } else {
      where = "from " + folder;
    }
  }
  probe::log_line(std::string(library) + " " + where);
}

bool set_search_order(std::string_view order) {
  if (order == "resolved") return frame::restrict_library_search(frame::find_set_default_dll_directories());
  if (order == "fallback") return frame::restrict_library_search(nullptr);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string_view order = argv[1];
  const std::string_view load = argv[2];
  if (!set_search_order(order)) probe::log_line("search order refused");
  const frame::OwnedModule winmm = load == "frame" ? frame::load_system_library("winmm.dll")
                                                   : frame::OwnedModule(LoadLibraryA("winmm.dll"));
  log_where_from("winmm.dll", winmm.get());
  const frame::OwnedModule current_only(LoadLibraryA("current_only.dll"));
  log_where_from("current_only.dll", current_only.get());
  return 0;
}
