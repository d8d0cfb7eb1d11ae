#include "tools/template-compiler/unit_header.h"

#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

namespace tplc {
namespace {

bool is_name(const std::string& role) {
  if (role.empty() || !std::isalpha(static_cast<unsigned char>(role[0]))) return false;
  for (char c : role)
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string role_of(const Json& unit, const Context& context, std::set<std::string>& seen) {
  const Json* role = member(unit, "role");
  if (role == nullptr) return {};
  const std::string name = role->is_string() ? role->get<std::string>() : std::string();
  if (!is_name(name)) context.fail("role", "must be letters and digits, starting with a letter");
  if (!seen.insert(name).second) context.fail("role", "names " + name + " twice");
  return name;
}

std::string constant(const std::string& role, uint32_t id) {
  char hex[11];
  std::snprintf(hex, sizeof hex, "0x%08X", id);
  return "constexpr uint32_t k" + role + " = " + hex + ";\n";
}

}  // namespace

std::string unit_header(const Json& layout, const std::string& name_space) {
  const Context context("layout");
  const Json* window = member(layout, "window");
  if (window == nullptr) context.fail("window", "is missing");
  const Json* units = member(*window, "units");
  if (units == nullptr || !units->is_array()) context.fail("window.units", "must be a list");

  std::set<std::string> seen;
  std::string window_constant;
  std::ostringstream unit_constants;
  for (const Json& unit : *units) {
    const std::string role = role_of(unit, context, seen);
    if (role.empty()) continue;
    if (unit.value("kind", "") == "window") {
      window_constant = constant(role, context.word(context.required(*window, "id"), "window.id"));
    } else {
      unit_constants << constant(role, context.word(context.required(unit, "id"), "id"));
    }
  }

  std::ostringstream out;
  out << "// Written by tplc from the layout's roles: the window and its units by role.\n"
      << "#pragma once\n\n#include <cstdint>\n\nnamespace " << name_space << " {\n\n"
      << window_constant << "\nnamespace unit {\n"
      << unit_constants.str() << "}  // namespace unit\n\n}  // namespace " << name_space << "\n";
  return out.str();
}

}  // namespace tplc
