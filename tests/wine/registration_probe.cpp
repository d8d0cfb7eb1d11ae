// Runs the installer's two registration steps for the installation folder named on
// the command line; the registration tests look at the registry and Config.ini after.
#include <windows.h>

#include <string>

#include "app/installer_state.h"
#include "app/registration.h"
#include "frame/frame_services.h"
#include "frame/program_header.h"
#include "probe_header.h"
#include "probe_support.h"

namespace {

int probe_entry() {
  frame::initialise_frame();
  const std::string folder = probe::scenario();
  app::set_installation_folder(folder.c_str());
  app::take_installation_folder();
  app::remove_user_section();
  app::register_product();
  return 0;
}

}  // namespace

namespace frame {
const ProgramHeader program_header = probe::header_with_template(probe_entry);
}  // namespace frame
