#pragma once
// Installer-wide state: shared by every handler and by the install worker for the
// life of the process.
#include <atomic>

namespace app {

struct InstallerState {
  char* installation_folder = nullptr;  // GBK text on the frame heap; empty until start-up
  // The folder an installation was started into, taken from the one above when it
  // starts; the worker, the registration and the start button read only this one,
  // so a folder chosen later cannot move the installation. Null before any start.
  char* installed_folder = nullptr;
  int desktop_shortcut_option = 0;
  int agreement_option = 0;
  int third_option = 0;
  std::atomic<int> installing{0};
};

InstallerState& installer_state();

// Replaces the installation folder, freeing the previous text.
void set_installation_folder(const char* folder);

// Copies the installation folder into the installed folder; on the window's thread,
// before the worker exists.
void take_installation_folder();
// Forgets the installed folder again, for an installation that could not start.
void forget_installed_folder();
// The installed folder, empty before an installation started.
const char* installed_folder();
bool installation_started();

// Exit routine: frees what the state still owns.
void release_installer_state(int position);

}  // namespace app
