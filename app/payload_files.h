#pragma once
// The product's files as the install procedure writes them: each with its status
// text, its name suffix and its embedded blob, in the order they are written.
#include <cstdint>
#include <span>

namespace app {

struct PayloadFile {
  uint32_t status_text;
  uint32_t suffix;
  uint32_t blob;
};

std::span<const PayloadFile> payload_files();

// Writes the file's blob, straight from the executable's data, to folder + suffix.
// True when the whole file was written.
bool write_payload_file(const char* folder, const PayloadFile& file);

}  // namespace app
