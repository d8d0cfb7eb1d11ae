#include "app/installer_entry.h"

#include "app/installer_state.h"
#include "app/installer_units.h"
#include "frame/frame_services.h"

namespace app {

int installer_entry() {
  frame::initialise_frame();
  frame::register_exit_routine(release_installer_state);
  frame::load_startup_window(kInstallerWindow);
  frame::run_message_loop();
  return 0;
}

}  // namespace app
