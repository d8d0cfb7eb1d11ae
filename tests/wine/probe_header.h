#pragma once
// The program header of a probe program that embeds a window template and uses the
// installer's unit libraries.
#include "frame/program_header.h"

namespace probe {

frame::ProgramHeader header_with_template(frame::EntryRoutine entry, const void* handler_base = nullptr);

}  // namespace probe
