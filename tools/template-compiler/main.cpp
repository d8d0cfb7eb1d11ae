// tplc: the window template compiler.
//   tplc compile LAYOUT.json OUT.tpl   layout description -> binary template
//   tplc dump IN.tpl                   any binary template -> JSON on stdout
//   tplc handler-table LAYOUT.json SYMBOL OUT.S
//                                      the jump table the layout's bindings point into
//   tplc unit-header LAYOUT.json NAMESPACE OUT.h
//                                      the window's and units' ids by role, for C++
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "frame/template_format.h"
#include "tools/template-compiler/handler_table.h"
#include "tools/template-compiler/layout_compiler.h"
#include "tools/template-compiler/template_dump.h"
#include "tools/template-compiler/unit_header.h"

namespace {

int usage() {
  std::cerr << "usage: tplc compile LAYOUT.json OUT.tpl\n"
               "       tplc dump IN.tpl\n"
               "       tplc handler-table LAYOUT.json SYMBOL OUT.S\n"
               "       tplc unit-header LAYOUT.json NAMESPACE OUT.h\n";
  return 2;
}

int error(const std::string& message) {
  std::cerr << "tplc: " << message << "\n";
  return 1;
}

std::optional<tplc::Json> read_layout(const std::filesystem::path& layout_path) {
  try {
    return tools::read_json_file(layout_path);
  } catch (const tools::FileError& e) {
    error(e.what());
    return std::nullopt;
  }
}

// Reads a layout, makes one output from it and writes that; a layout error is
// reported with the layout's path.
template <typename Make>
int write_from_layout(const std::filesystem::path& layout_path, const std::filesystem::path& output_path, Make make) {
  const auto layout = read_layout(layout_path);
  if (!layout) return 1;
  try {
    const auto output = make(*layout);
    tools::write_file(output_path, output);
    return 0;
  } catch (const tools::InputError& e) {
    return error(layout_path.string() + ": " + e.what());
  } catch (const tools::FileError& e) {
    return error(e.what());
  }
}

int compile(const std::filesystem::path& layout_path, const std::filesystem::path& output_path) {
  return write_from_layout(layout_path, output_path, [&](const tplc::Json& layout) {
    return tplc::compile_layout(layout, layout_path.parent_path());
  });
}

int handler_table(const std::filesystem::path& layout_path, const std::string& symbol,
                  const std::filesystem::path& output_path) {
  return write_from_layout(layout_path, output_path,
                           [&](const tplc::Json& layout) { return tplc::handler_table_assembly(layout, symbol); });
}

int unit_header(const std::filesystem::path& layout_path, const std::string& name_space,
                const std::filesystem::path& output_path) {
  return write_from_layout(layout_path, output_path,
                           [&](const tplc::Json& layout) { return tplc::unit_header(layout, name_space); });
}

int dump(const std::filesystem::path& template_path) {
  std::vector<uint8_t> block;
  try {
    block = tools::read_file(template_path);
  } catch (const tools::FileError& e) {
    return error(e.what());
  }
  const auto result = frame::read_template(block);
  if (!result.value) {
    return error(template_path.string() + ": corrupt template at offset " + std::to_string(result.failure.offset) +
                 ": " + frame::describe(result.failure.error));
  }
  std::cout << tplc::dump_template(*result.value).dump(2) << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "compile") return compile(args[1], args[2]);
  if (args.size() == 2 && args[0] == "dump") return dump(args[1]);
  if (args.size() == 4 && args[0] == "handler-table") return handler_table(args[1], args[2], args[3]);
  if (args.size() == 4 && args[0] == "unit-header") return unit_header(args[1], args[2], args[3]);
  return usage();
}
