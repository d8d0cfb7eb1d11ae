#include "pictures/detect.h"

namespace pictures {
namespace {

uint16_t u16_at(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

PictureKind icon_kind(std::span<const uint8_t> b) {
  if (u16_at(b, 0) != 0 || u16_at(b, 4) == 0) return PictureKind::none;
  switch (u16_at(b, 2)) {
    case 1:
      return PictureKind::icon;
    case 2:
      return PictureKind::cursor;
    default:
      return PictureKind::none;
  }
}

bool is_gif(std::span<const uint8_t> b) {
  return b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') && b[5] == 'a';
}

PictureKind pcx_kind(std::span<const uint8_t> b) {
  if (b[0] != 0x0A || b[2] != 1) return PictureKind::none;
  if (b[1] <= 5 && b[3] == 8) return PictureKind::pcx8;
  if (b[1] == 3 && b[3] == 1) return PictureKind::pcx1;
  return PictureKind::none;
}

}  // namespace

PictureKind detect_picture(std::span<const uint8_t> b) {
  if (b.size() < 6) return PictureKind::none;
  if (b[0] == 'B' && b[1] == 'M') return PictureKind::bmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return PictureKind::jpeg;
  if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return PictureKind::png;
  if (auto kind = icon_kind(b); kind != PictureKind::none) return kind;
  if (is_gif(b)) return PictureKind::gif;
  return pcx_kind(b);
}

}  // namespace pictures
