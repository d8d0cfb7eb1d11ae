// Describes a window template as JSON for people: every record, kind data decoded
// for the kinds this program knows, byte arrays by size and format.
#pragma once

#include "frame/template_format.h"
#include "tools/template-compiler/json_fields.h"

namespace tplc {

Json dump_template(const frame::WindowTemplate& templ);

}  // namespace tplc
