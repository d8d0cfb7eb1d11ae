#include "picture_fixtures.h"

#include <gtest/gtest.h>

#include "files.h"

namespace picture_fixtures {

std::vector<uint8_t> read(const std::string& name) {
  const std::string path = std::string(PICTURE_FIXTURES) + "/" + name;
  EXPECT_TRUE(support::readable(path)) << name;
  return support::read_bytes(path);
}

// The baseline or progressive frame header holds the height, then the width.
std::vector<uint8_t> with_jpeg_size(std::vector<uint8_t> file, uint16_t width, uint16_t height) {
  for (size_t i = 2; i + 9 < file.size(); ++i) {
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
      file[i + 5] = uint8_t(height >> 8);
      file[i + 6] = uint8_t(height);
      file[i + 7] = uint8_t(width >> 8);
      file[i + 8] = uint8_t(width);
      return file;
    }
  }
  ADD_FAILURE() << "no frame header";
  return file;
}

}  // namespace picture_fixtures
