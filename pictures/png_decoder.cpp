// PNG through libpng, into B,G,R,A rows top-down whatever the stored colour type.
// libpng reports errors by jumping back; the jumps land in small functions whose
// locals need no destructors, and the read structures are freed by their owner.
#include <algorithm>
#include <csetjmp>

#include <png.h>

#include "frame/byte_reader.h"
#include "pictures/decode.h"
#include "pictures/picture_limits.h"

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

// Every chunk the file declares must lie inside it; libpng would otherwise size a
// buffer from a damaged length before finding out that the data is not there.
bool chunks_fit(std::span<const uint8_t> bytes) {
  frame::ByteReader r(bytes);
  if (!r.skip(8)) return false;
  while (r.remaining() > 0) {
    const auto length = r.u32_be();
    const auto type = r.u32_be();
    if (!length || !type || *length > r.remaining() || !r.skip(*length) || !r.skip(4)) return false;
    if (*type == 0x49454E44) return true;  // IEND
  }
  return false;
}

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
  if (!chunks_fit(bytes)) return std::nullopt;
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
