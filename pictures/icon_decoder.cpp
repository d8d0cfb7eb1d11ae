// Icons and cursors: a directory of images, one of which becomes the picture.
//
//   0  u16 0, u16 type (1 icon, 2 cursor), u16 count
//   6  count entries of 16 bytes: u8 width, u8 height, u8 colour count, u8 reserved,
//      u16 planes or hot-spot x, u16 bits or hot-spot y, u32 image size, u32 image offset
//      image: a BITMAPINFOHEADER whose height counts colour and mask rows, or a PNG
#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/detect.h"
#include "pictures/picture_limits.h"
#include "pictures/png_chunks.h"

namespace pictures {
namespace {

using frame::ByteReader;

struct Entry {
  uint8_t width = 0;
  uint8_t colour_count = 0;
  uint32_t size = 0;
  uint32_t offset = 0;
};

std::optional<Entry> read_entry(ByteReader& r) {
  Entry e;
  const bool read = frame::store(r.u8(), e.width) && r.skip(1) && frame::store(r.u8(), e.colour_count) && r.skip(5) &&
                    frame::store(r.u32(), e.size) && frame::store(r.u32(), e.offset);
  if (!read) return std::nullopt;
  return e;
}

// The first 32-pixel image with more than 15 colours, else the last one listed.
std::optional<Entry> select_entry(ByteReader& r, uint16_t count) {
  std::optional<Entry> entry;
  for (uint16_t i = 0; i < count; ++i) {
    entry = read_entry(r);
    if (!entry) return std::nullopt;
    if (entry->colour_count > 15 && entry->width == 32) break;
  }
  return entry;
}

struct Size {
  int64_t width = 0, height = 0;
};

// A DIB image holds its header, its palette, its colour rows and its 1-bit mask
// rows, each row padded to 4 bytes; the icon is made from all of them.
bool dib_image_fits(std::span<const uint8_t> image, uint32_t header_size, const Size& size) {
  ByteReader r(image);
  uint16_t bits;
  uint32_t colours_used;
  if (!r.skip(14) || !frame::store(r.u16(), bits) || !r.skip(16) || !frame::store(r.u32(), colours_used)) return false;
  const uint64_t palette = bits > 8 ? 0 : colours_used == 0 ? uint64_t(1) << bits : colours_used;
  const uint64_t colour_row = (uint64_t(size.width) * bits + 31) / 32 * 4;
  const uint64_t mask_row = (uint64_t(size.width) + 31) / 32 * 4;
  return uint64_t(header_size) + palette * 4 + (colour_row + mask_row) * uint64_t(size.height) <= image.size();
}

// A PNG image names its size in IHDR; a DIB image's height covers colour and mask.
// Either must hold what it names.
std::optional<Size> image_size(std::span<const uint8_t> image) {
  ByteReader r(image);
  if (detect_picture(image) == PictureKind::png) {
    uint32_t width, height;
    if (!r.skip(16) || !frame::store(r.u32_be(), width) || !frame::store(r.u32_be(), height) ||
        !png_data_can_hold(image))
      return std::nullopt;
    return Size{width, height};
  }
  uint32_t header_size;
  int32_t width, height;
  if (!frame::store(r.u32(), header_size) || header_size < 40 || !frame::store(r.i32(), width) ||
      !frame::store(r.i32(), height))
    return std::nullopt;
  const Size size{width, height / 2};
  if (!dimensions_allowed(size.width, size.height) || !dib_image_fits(image, header_size, size)) return std::nullopt;
  return size;
}

}  // namespace

std::optional<Picture> decode_icon(std::span<const uint8_t> bytes) {
  const PictureKind kind = detect_picture(bytes);
  if (kind != PictureKind::icon && kind != PictureKind::cursor) return std::nullopt;
  ByteReader r(bytes);
  uint16_t count;
  if (!r.skip(4) || !frame::store(r.u16(), count)) return std::nullopt;
  auto entry = select_entry(r, count);
  if (!entry || entry->offset > bytes.size() || entry->size > bytes.size() - entry->offset) return std::nullopt;
  auto image = bytes.subspan(entry->offset, entry->size);
  auto size = image_size(image);
  if (!size || !dimensions_allowed(size->width, size->height)) return std::nullopt;
  return Picture{kind, int32_t(size->width), int32_t(size->height), {image.begin(), image.end()}, {}};
}

}  // namespace pictures
