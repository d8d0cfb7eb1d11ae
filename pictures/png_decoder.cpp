// PNG through libpng, into B,G,R,A rows top-down whatever the stored colour type.
// libpng reports errors by jumping back; the jumps land in small functions whose
// locals need no destructors, and the read structures are freed by their owner.
#include <algorithm>
#include <csetjmp>

#include <png.h>

#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/picture_limits.h"
#include "pictures/png_chunks.h"

namespace pictures {
namespace {

// Colour profiles and texts are never shown; nothing the decoder uses is this big
// except image data, which libpng streams.
constexpr png_alloc_size_t kMaxChunkBytes = 8 << 20;

struct Source {
  std::span<const uint8_t> rest;
};

void read_from_span(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (count > source->rest.size()) png_error(png, "short read");
  std::copy_n(source->rest.begin(), count, out);
  source->rest = source->rest.subspan(count);
}

// Deflate never expands one byte into more than this many.
constexpr uint64_t kMaxDeflateRatio = 1032;

constexpr uint32_t kIhdr = 0x49484452, kIdat = 0x49444154, kIend = 0x49454E44;

// Bits per pixel of the IHDR's colour type and depth; 0 for a type PNG does not have.
uint64_t bits_per_pixel(uint8_t colour_type, uint8_t depth) {
  switch (colour_type) {
    case 0:
    case 3:
      return depth;
    case 2:
      return depth * 3u;
    case 4:
      return depth * 2u;
    case 6:
      return depth * 4u;
  }
  return 0;
}

// What the image data must unpack to at the least: every row's bytes, without
// the filter bytes or interlacing's extra rows.
std::optional<uint64_t> least_image_bytes(std::span<const uint8_t> ihdr) {
  frame::ByteReader r(ihdr);
  uint32_t width, height;
  uint8_t depth, colour_type;
  if (!frame::store(r.u32_be(), width) || !frame::store(r.u32_be(), height) || !frame::store(r.u8(), depth) ||
      !frame::store(r.u8(), colour_type))
    return std::nullopt;
  return (uint64_t(width) * bits_per_pixel(colour_type, depth) + 7) / 8 * height;
}

// Every chunk the file declares must lie inside it, and the image data must be
// able to inflate to the rows the header names: libpng would otherwise size a
// buffer from a damaged length, and the caller the picture from a bare header,
// before finding out that the data is not there.
}  // namespace

bool png_data_can_hold(std::span<const uint8_t> bytes) {
  frame::ByteReader r(bytes);
  if (!r.skip(8)) return false;
  std::optional<uint64_t> needed;
  uint64_t image_data = 0;
  while (r.remaining() > 0) {
    const auto length = r.u32_be();
    const auto type = r.u32_be();
    if (!length || !type || *length > r.remaining()) return false;
    auto body = r.bytes(*length);
    if (!body || !r.skip(4)) return false;
    if (*type == kIhdr && !needed) needed = least_image_bytes(*body);
    if (*type == kIdat) image_data += *length;
    if (*type == kIend) return needed && *needed <= image_data * kMaxDeflateRatio;
  }
  return false;
}

namespace {

void jump_back(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void stay_quiet(png_structp, png_const_charp) {}

class PngReader {
 public:
  explicit PngReader(std::span<const uint8_t> bytes) : source{bytes} {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jump_back, stay_quiet);
    if (png) info = png_create_info_struct(png);
  }
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  png_structp png = nullptr;
  png_infop info = nullptr;
  Source source;
};

// Asks libpng for 8-bit B,G,R,A whatever the file stores.
void request_bgra(png_structp png, png_infop info) {
  const int colour_type = png_get_color_type(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (!(colour_type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_set_interlace_handling(png);
}

bool read_header(PngReader& r) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_read_fn(r.png, &r.source, read_from_span);
  png_set_user_limits(r.png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(r.png, kMaxChunkBytes);
  png_read_info(r.png, r.info);
  request_bgra(r.png, r.info);
  png_read_update_info(r.png, r.info);
  return png_get_rowbytes(r.png, r.info) == size_t(png_get_image_width(r.png, r.info)) * 4;
}

bool read_rows(PngReader& r, png_bytepp rows) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_image(r.png, rows);
  png_read_end(r.png, nullptr);
  return true;
}

}  // namespace

std::optional<Picture> decode_png(std::span<const uint8_t> bytes) {
  if (!png_data_can_hold(bytes)) return std::nullopt;
  PngReader r(bytes);
  if (!r.info || !read_header(r)) return std::nullopt;
  const size_t width = png_get_image_width(r.png, r.info), height = png_get_image_height(r.png, r.info);
  if (!dimensions_allowed(width, height)) return std::nullopt;
  auto count = checked_size(width * height, 4);
  if (!count) return std::nullopt;
  Picture picture{PictureKind::png, int32_t(width), int32_t(height), std::vector<uint8_t>(*count), {}};
  std::vector<png_bytep> rows(height);
  for (size_t y = 0; y < height; ++y) rows[y] = picture.pixels.data() + y * width * 4;
  if (!read_rows(r, rows.data())) return std::nullopt;
  return picture;
}

}  // namespace pictures
