// Stand-in payload files for builds without the product's own: each has the name,
// length and kind the catalogue gives, and the same bytes on every build.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/constants-assembler/payload_catalogue.h"

namespace cassemble {

// A program or library of ours, padded with zero bytes to the catalogue length;
// Windows loads a PE image whatever trails it.
std::vector<uint8_t> padded_stand_in(const CatalogueFile& file, std::vector<uint8_t> image);

// The 7z signature with format version 0.4, then filler from a fixed-seed generator.
std::vector<uint8_t> archive_stand_in(const CatalogueFile& file);

}  // namespace cassemble
