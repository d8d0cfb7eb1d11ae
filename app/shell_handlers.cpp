// The two buttons that hand over to the shell: the agreement link opens the home
// page; the finish page's button starts the installed product and ends the
// installer, whether or not the product could be started. The product is started
// from the folder it was installed into, whatever the folder label says since.
#include <string>

#include "app/constants.h"
#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/run_document.h"
#include "frame/frame_services.h"

extern "C" void __stdcall on_start_clicked() {
  const std::string launcher = std::string(app::installed_folder()) + "\\launch.exe";
  app::run_document(launcher.c_str());
  frame::end_program(0);
}

extern "C" void __stdcall on_agreement_link_clicked() { app::run_document(app::constant_text(app::kHomePageUrl)); }
