#pragma once

namespace app {

// The installer's entry routine: sets the frame up, shows the installer window and
// runs the message loop until the window is gone. Always 0.
int installer_entry();

}  // namespace app
