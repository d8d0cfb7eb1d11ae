// The finish page's button: start the installed product and end the installer,
// whether or not the product could be started.
#include <string>

#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/run_document.h"
#include "frame/frame_services.h"

extern "C" void __stdcall on_start_clicked() {
  const char* folder = app::installer_state().installation_folder;
  const std::string launcher = std::string(folder ? folder : "") + "\\launch.exe";
  app::run_document(launcher.c_str());
  frame::end_program(0);
}
