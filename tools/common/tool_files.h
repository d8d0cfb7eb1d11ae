// Reading and writing the host tools' files, and the two ways a tool refuses: a
// file it cannot read or write (FileError) and content it will not take
// (InputError). Each message names the file or the entry at fault, so each tool
// reports them in one place.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace tools {

using Json = nlohmann::ordered_json;

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<uint8_t> read_file(const std::filesystem::path& path);

// A JSON file, keeping its members in the order they are written.
Json read_json_file(const std::filesystem::path& path);

void write_file(const std::filesystem::path& path, std::span<const uint8_t> bytes);
void write_file(const std::filesystem::path& path, std::string_view text);

}  // namespace tools
