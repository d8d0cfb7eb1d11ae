#pragma once
// Reading whole files and splitting text into lines, for the host tests and the
// Windows drivers alike.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace support {

// Everything in the file, byte for byte; empty when it cannot be opened, which a
// caller comparing contents sees as a difference.
std::string read_file(const std::filesystem::path& path);
// The file as text: on Windows its CR LF line ends come back as LF, as a program
// that wrote it in text mode meant them.
std::string read_text(const std::filesystem::path& path);
// The same bytes as read_file, for readers that take a span of them.
std::vector<uint8_t> read_bytes(const std::filesystem::path& path);
// Whether the file can be opened for reading.
bool readable(const std::filesystem::path& path);

// The lines of `text` without their line ends; a last line with no end still counts.
std::vector<std::string> lines_of(const std::string& text);

}  // namespace support
