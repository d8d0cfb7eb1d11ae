#include "app/installer_entry.h"
#include "app/installer_program_header.h"

namespace frame {

const ProgramHeader program_header = app::installer_program_header(app::installer_entry);

}  // namespace frame
