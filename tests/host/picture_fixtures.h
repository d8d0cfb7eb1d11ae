// The decoding tests' picture files, and an edit several tests make to them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace picture_fixtures {

// The bytes of tests/host/pictures/NAME; a missing file fails the test.
std::vector<uint8_t> read(const std::string& name);

// The JPEG with another height and width written into its frame header.
std::vector<uint8_t> with_jpeg_size(std::vector<uint8_t> file, uint16_t width, uint16_t height);

}  // namespace picture_fixtures
