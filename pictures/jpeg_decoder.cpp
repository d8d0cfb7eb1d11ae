// JPEG through libjpeg. The library reports errors by calling back; the jump back
// lands in small functions whose locals need no destructors, and the decompress
// object is destroyed by its owner whichever way they return.
#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include "pictures/decode.h"
#include "pictures/picture_limits.h"
#include "pictures/rgb_rows.h"

namespace pictures {
namespace {

struct JumpingErrors {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  bool ran_out = false;
};

void jump_back(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JumpingErrors*>(cinfo->err)->jump, 1); }

// A JPEG cut short is a short read like any other, not a picture padded with grey:
// the data ends, or (with the end marker put back) a scan meets it too early.
void note_warning(j_common_ptr cinfo, int level) {
  const int code = cinfo->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
    reinterpret_cast<JumpingErrors*>(cinfo->err)->ran_out = true;
}

void stay_quiet(j_common_ptr) {}

class Decompressor {
 public:
  Decompressor() {
    cinfo.err = jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = jump_back;
    errors.mgr.emit_message = note_warning;
    errors.mgr.output_message = stay_quiet;
  }
  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  jpeg_decompress_struct cinfo{};
  JumpingErrors errors{};
  bool created = false;
};

bool read_header(Decompressor& d, std::span<const uint8_t> bytes) {
  if (setjmp(d.errors.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  jpeg_mem_src(&d.cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

// Every MCU of a Huffman-coded scan costs at least one bit, so the data bounds the
// size it can fill. Arithmetic coding, which the library version these pictures
// were made for never decoded, is refused: it has no such bound.
bool data_can_fill(const jpeg_decompress_struct& cinfo, size_t data_size) {
  if (cinfo.arith_code) return false;
  const uint64_t mcu_width = uint64_t(cinfo.max_h_samp_factor) * DCTSIZE;
  const uint64_t mcu_height = uint64_t(cinfo.max_v_samp_factor) * DCTSIZE;
  const uint64_t mcus =
      (cinfo.image_width + mcu_width - 1) / mcu_width * ((cinfo.image_height + mcu_height - 1) / mcu_height);
  return mcus <= uint64_t(data_size) * 8;
}

// Checked before decompression starts: libjpeg sizes its own buffers from the header.
bool start(Decompressor& d, size_t data_size) {
  if (setjmp(d.errors.jump)) return false;
  if (!dimensions_allowed(d.cinfo.image_width, d.cinfo.image_height) || !data_can_fill(d.cinfo, data_size))
    return false;
  if (d.cinfo.num_components == 1) {
    d.cinfo.out_color_space = JCS_GRAYSCALE;
  } else if (d.cinfo.num_components == 3) {
    d.cinfo.out_color_space = JCS_RGB;
  } else {
    return false;
  }
  jpeg_start_decompress(&d.cinfo);
  return true;
}

// Fills `out` with R,G,B rows top-down; grey rows are widened to R = G = B.
bool read_rows(Decompressor& d, uint8_t* out, JSAMPLE* grey_row) {
  if (setjmp(d.errors.jump)) return false;
  const JDIMENSION width = d.cinfo.output_width;
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    uint8_t* row = out + size_t(d.cinfo.output_scanline) * width * 3;
    JSAMPROW target = d.cinfo.output_components == 1 ? grey_row : row;
    jpeg_read_scanlines(&d.cinfo, &target, 1);
    if (d.cinfo.output_components == 1) {
      for (JDIMENSION x = 0; x < width; ++x) row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = grey_row[x];
    }
  }
  jpeg_finish_decompress(&d.cinfo);
  return !d.errors.ran_out;
}

bool ends_with_end_marker(std::span<const uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[bytes.size() - 2] == 0xFF && bytes.back() == JPEG_EOI;
}

}  // namespace

// Image viewers show a JPEG that lacks only its end marker; with the marker put
// back, a file that is truly cut short still runs out inside a scan.
std::optional<Picture> decode_jpeg(std::span<const uint8_t> file) {
  std::vector<uint8_t> completed;
  std::span<const uint8_t> bytes = file;
  if (!ends_with_end_marker(file)) {
    completed.assign(file.begin(), file.end());
    completed.insert(completed.end(), {0xFF, JPEG_EOI});
    bytes = completed;
  }
  Decompressor d;
  if (!read_header(d, bytes) || !start(d, bytes.size())) return std::nullopt;
  const size_t width = d.cinfo.output_width, height = d.cinfo.output_height;
  if (!dimensions_allowed(width, height) || (d.cinfo.output_components != 1 && d.cinfo.output_components != 3))
    return std::nullopt;
  auto count = checked_size(width * height, 3);
  if (!count) return std::nullopt;
  Picture picture{PictureKind::jpeg, int32_t(width), int32_t(height), std::vector<uint8_t>(*count), {}};
  std::vector<JSAMPLE> grey_row(width);
  if (!read_rows(d, picture.pixels.data(), grey_row.data())) return std::nullopt;
  rgb_top_down_to_bgr_bottom_up(picture.pixels, width, height);
  return picture;
}

}  // namespace pictures
