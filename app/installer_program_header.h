#pragma once
// The installer's program header around a given entry routine: its constants area
// and window template with their checksum, handler table, unit libraries and
// declared functions. The installer starts from its own entry; test programs that
// replay the installation without the message loop start from theirs, with
// everything else the same.
#include "frame/program_header.h"

namespace app {

frame::ProgramHeader installer_program_header(frame::EntryRoutine entry);

}  // namespace app
