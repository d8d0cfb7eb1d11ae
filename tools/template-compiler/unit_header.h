// A C++ header naming a layout's window and units by their roles, so code that
// writes their properties never restates an id by hand:
//   constexpr uint32_t k<window role> = <window id>;
//   namespace unit { constexpr uint32_t k<role> = <unit id>; ... }
// Units without a role are left out.
#pragma once

#include <string>

#include "tools/template-compiler/json_fields.h"

namespace tplc {

// Throws tools::InputError for a role that is not a C++ name or is given twice.
std::string unit_header(const Json& layout, const std::string& name_space);

}  // namespace tplc
