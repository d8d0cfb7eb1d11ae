// Decoding pictures from bytes. Every decoder answers std::nullopt on a short read,
// an unsupported variant, dimensions over the cap or an allocation failure.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pictures/picture.h"

namespace pictures {

// Detects the kind and hands the bytes to its decoder.
std::optional<Picture> decode_picture(std::span<const uint8_t> bytes);
// The same from a file, opened read-only; a missing or unreadable file gives nothing.
std::optional<Picture> decode_picture_file(const std::string& path);

std::optional<Picture> decode_jpeg(std::span<const uint8_t> bytes);
std::optional<Picture> decode_png(std::span<const uint8_t> bytes);
std::optional<Picture> decode_bmp(std::span<const uint8_t> bytes);
std::optional<Picture> decode_icon(std::span<const uint8_t> bytes);
std::optional<Picture> decode_gif(std::span<const uint8_t> bytes);
std::optional<Picture> decode_pcx(std::span<const uint8_t> bytes);

// PNG pixels as the drawing side shows them: every pixel whose alpha is not 255 is
// mixed with the blend colour (0x00BBGGRR), alpha 0 giving that colour exactly.
void blend_alpha(std::span<uint8_t> bgra, uint32_t blend_colour);

}  // namespace pictures
