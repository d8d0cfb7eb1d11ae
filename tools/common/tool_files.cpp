#include "tools/common/tool_files.h"

#include <fstream>
#include <iterator>

namespace tools {

std::vector<uint8_t> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError("cannot read " + path.string());
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileError("cannot read " + path.string());
  return bytes;
}

Json read_json_file(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = read_file(path);
  try {
    return Json::parse(bytes.begin(), bytes.end());
  } catch (const Json::exception& e) {
    throw FileError(path.string() + ": " + e.what());
  }
}

void write_file(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw FileError("cannot write " + path.string());
}

void write_file(const std::filesystem::path& path, std::string_view text) {
  write_file(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace tools
