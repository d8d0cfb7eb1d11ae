// Writes every payload file of the installer into the folder named on the command
// line, as the install procedure does, and logs each result.
#include <windows.h>

#include <string>

#include "app/constants.h"
#include "app/payload_files.h"
#include "frame/frame_services.h"
#include "frame/program_header.h"
#include "probe_header.h"
#include "probe_support.h"

namespace {

int probe_entry() {
  frame::initialise_frame();
  const std::string folder = probe::scenario();
  for (const app::PayloadFile& file : app::payload_files()) {
    const bool written = app::write_payload_file(folder.c_str(), file);
    probe::log_line(std::string(app::constant_text(file.suffix) + 1) + (written ? " written" : " failed"));
  }
  return 0;
}

}  // namespace

namespace frame {
const ProgramHeader program_header = probe::header_with_template(probe_entry);
}  // namespace frame
