#include "tools/constants-assembler/stand_in.h"

#include <string>

namespace cassemble {

std::vector<uint8_t> padded_stand_in(const CatalogueFile& file, std::vector<uint8_t> image) {
  if (image.size() > file.length) {
    throw tools::InputError("the stand-in for " + file.name + " is " + std::to_string(image.size()) +
                            " bytes long; the catalogue allows " + std::to_string(file.length));
  }
  image.resize(file.length, 0);
  return image;
}

std::vector<uint8_t> archive_stand_in(const CatalogueFile& file) {
  std::vector<uint8_t> bytes = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C, 0x00, 0x04};
  if (file.length < bytes.size())
    throw tools::InputError("the catalogue length of " + file.name + " has no room for 7z's signature");
  // xorshift32: cheap, and the same stream on every machine.
  uint32_t state = 0x7A37BCAF;
  while (bytes.size() < file.length) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes.push_back(static_cast<uint8_t>(state));
  }
  return bytes;
}

}  // namespace cassemble
