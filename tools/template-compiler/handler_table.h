// The handler table a layout's bindings point into, as i686 assembly: one 8-byte
// jump slot per name of the layout's "handlers" list, in list order, so handler i
// lies at offset 8 * i from the table's start (the program header's handler base).
// Each name is an extern "C" __stdcall routine: a bare name takes no arguments,
// "name@N" takes N bytes of them.
#pragma once

#include <string>

#include "tools/template-compiler/json_fields.h"

namespace tplc {

// Throws tools::InputError when the list is malformed.
std::string handler_table_assembly(const Json& layout, const std::string& table_symbol);

}  // namespace tplc
