#pragma once
#include <cstdint>

namespace app {

constexpr uint32_t kInstallerWindowId = 0x52010001;

// The installer's entry routine: sets the frame up, shows the installer window and
// runs the message loop until the window is gone. Always 0.
int installer_entry();

}  // namespace app
