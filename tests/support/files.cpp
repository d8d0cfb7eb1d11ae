#include "files.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace support {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string read_text(const std::filesystem::path& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> read_bytes(const std::filesystem::path& path) {
  const std::string bytes = read_file(path);
  return {bytes.begin(), bytes.end()};
}

bool readable(const std::filesystem::path& path) { return std::ifstream(path, std::ios::binary).is_open(); }

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

}  // namespace support
