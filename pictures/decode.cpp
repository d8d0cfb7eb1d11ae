#include "pictures/decode.h"

#include <cstdio>
#include <memory>
#include <new>

#include "pictures/detect.h"

namespace pictures {
namespace {

std::optional<Picture> decode_kind(PictureKind kind, std::span<const uint8_t> bytes) {
  switch (kind) {
    case PictureKind::jpeg:
      return decode_jpeg(bytes);
    case PictureKind::bmp:
      return decode_bmp(bytes);
    case PictureKind::icon:
    case PictureKind::cursor:
      return decode_icon(bytes);
    case PictureKind::gif:
      return decode_gif(bytes);
    case PictureKind::pcx8:
    case PictureKind::pcx1:
      return decode_pcx(bytes);
    case PictureKind::png:
      return decode_png(bytes);
    case PictureKind::none:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<Picture> decode_picture(std::span<const uint8_t> bytes) {
  try {
    return decode_kind(detect_picture(bytes), bytes);
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a picture too big for what is left of memory is no picture
  }
}

std::optional<Picture> decode_picture_file(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes;
  uint8_t chunk[16 * 1024];
  size_t read;
  while ((read = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + read);
  if (std::ferror(file.get())) return std::nullopt;
  return decode_picture(bytes);
}

}  // namespace pictures
