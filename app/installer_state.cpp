#include "app/installer_state.h"

#include <cstring>

#include "frame/frame_heap.h"

namespace app {

InstallerState& installer_state() {
  static InstallerState state;
  return state;
}

void set_installation_folder(const char* folder) {
  const size_t length = std::strlen(folder);
  auto* copy = static_cast<char*>(frame::heap_allocate(length + 1));
  std::memcpy(copy, folder, length + 1);
  frame::heap_free(installer_state().installation_folder);
  installer_state().installation_folder = copy;
}

void release_installer_state(int) {
  frame::heap_free(installer_state().installation_folder);
  installer_state().installation_folder = nullptr;
}

}  // namespace app
