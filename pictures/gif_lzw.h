// GIF's variable-width LZW, kept apart from the block structure around it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pictures {

// Decodes `data` (the image's sub-blocks joined) into exactly `count` indices; a
// stream that ends early or names a code not yet defined gives nothing.
std::optional<std::vector<uint8_t>> lzw_decode(std::span<const uint8_t> data, unsigned min_code_size, size_t count);

}  // namespace pictures
