#include "app/installer_state.h"

#include "frame/frame_heap.h"

namespace app {
namespace {

// The copy is made before the old text is freed: `text` may be that text.
void replace_text(char*& slot, const char* text) {
  char* copy = text != nullptr ? frame::heap_text(text) : nullptr;
  frame::heap_free(slot);
  slot = copy;
}

}  // namespace

InstallerState& installer_state() {
  static InstallerState state;
  return state;
}

void set_installation_folder(const char* folder) { replace_text(installer_state().installation_folder, folder); }

void take_installation_folder() {
  const char* folder = installer_state().installation_folder;
  replace_text(installer_state().installed_folder, folder != nullptr ? folder : "");
}

void forget_installed_folder() { replace_text(installer_state().installed_folder, nullptr); }

const char* installed_folder() {
  const char* folder = installer_state().installed_folder;
  return folder != nullptr ? folder : "";
}

bool installation_started() { return installer_state().installed_folder != nullptr; }

void release_installer_state(int) {
  replace_text(installer_state().installation_folder, nullptr);
  forget_installed_folder();
}

}  // namespace app
