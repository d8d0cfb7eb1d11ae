#pragma once
// Installer-wide state: shared by every handler and by the install worker for the
// life of the process.
#include <atomic>

namespace app {

struct InstallerState {
  char* installation_folder = nullptr;  // GBK text on the frame heap; empty until start-up
  int desktop_shortcut_option = 0;
  int agreement_option = 0;
  int third_option = 0;
  std::atomic<int> installing{0};
};

InstallerState& installer_state();

// Replaces the installation folder, freeing the previous text.
void set_installation_folder(const char* folder);

// Exit routine: frees what the state still owns.
void release_installer_state(int position);

}  // namespace app
