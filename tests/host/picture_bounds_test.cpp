// Pictures whose headers name more than their data can hold: each decoder answers
// nothing without ever asking for the memory the header names. The largest single
// allocation made while decoding is watched through the global operator new.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "frame/byte_reader.h"
#include "gif_writer.h"
#include "picture_fixtures.h"
#include "pictures/decode.h"

namespace {

std::atomic<bool> watching{false};
std::atomic<size_t> largest{0};

}  // namespace

// The replacements pair malloc with free themselves; GCC sees only the new and the
// free and calls them mismatched.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  if (watching) {
    size_t seen = largest;
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop

namespace {

using Bytes = std::vector<uint8_t>;

// A megabyte is far more than any of these files' own bytes and far less than
// the tens of megabytes their headers name.
constexpr size_t kSmallAllocation = 1 << 20;

// The largest allocation made while decoding `bytes`, and whether it decoded.
struct Watched {
  size_t largest = 0;
  bool decoded = false;
};

Watched decode_watched(const Bytes& bytes) {
  largest = 0;
  watching = true;
  const bool decoded = pictures::decode_picture(bytes).has_value();
  watching = false;
  return {largest, decoded};
}

Bytes fixture(const std::string& name) { return picture_fixtures::read(name); }

void put_u32(Bytes& file, size_t at, uint32_t value, bool big_endian = false) {
  for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(value >> (big_endian ? 24 - 8 * i : 8 * i));
}

TEST(PictureBounds, BmpRowsTheFileCannotHold) {
  Bytes file = fixture("rgb24.bmp");
  ASSERT_TRUE(decode_watched(file).decoded);
  put_u32(file, 18, 4000);  // 4000 x 4000 at 24 bits: 48 MB of pixels from a 70-byte file
  put_u32(file, 22, 4000);
  const Watched watched = decode_watched(file);
  EXPECT_FALSE(watched.decoded);
  EXPECT_LT(watched.largest, kSmallAllocation);
}

using picture_fixtures::with_jpeg_size;

TEST(PictureBounds, JpegScansTheFileCannotFill) {
  for (const char* name : {"quadrants.jpg", "progressive.jpg"}) {
    SCOPED_TRACE(name);
    const Watched watched = decode_watched(with_jpeg_size(fixture(name), 4000, 4000));
    EXPECT_FALSE(watched.decoded);
    EXPECT_LT(watched.largest, kSmallAllocation);
  }
}

// IHDR's size rewritten, with its CRC made right so that only the data is wrong.
Bytes with_png_size(Bytes file, uint32_t width, uint32_t height) {
  put_u32(file, 16, width, true);
  put_u32(file, 20, height, true);
  put_u32(file, 29, uint32_t(crc32(0, file.data() + 12, 17)), true);
  return file;
}

TEST(PictureBounds, PngImageDataTooShortToInflateToItsRows) {
  const Bytes file = fixture("rgb.png");
  EXPECT_TRUE(decode_watched(with_png_size(file, 4, 2)).decoded);
  const Watched watched = decode_watched(with_png_size(file, 4000, 4000));
  EXPECT_FALSE(watched.decoded);
  EXPECT_LT(watched.largest, kSmallAllocation);
}

TEST(PictureBounds, PcxRunsTheFileCannotHold) {
  Bytes file = fixture("palette8.pcx");
  ASSERT_TRUE(decode_watched(file).decoded);
  file[8] = file[10] = 0x9F;  // 4000 x 4000
  file[9] = file[11] = 0x0F;
  file[66] = 0xA0;  // 4000 bytes per line
  file[67] = 0x0F;
  const Watched watched = decode_watched(file);
  EXPECT_FALSE(watched.decoded);
  EXPECT_LT(watched.largest, kSmallAllocation);
}

Watched decode_gif_watched(const gif_writer::Gif& gif) { return decode_watched(gif_writer::write(gif)); }

const std::vector<gif_writer::Colour> kRedBlue{{255, 0, 0}, {0, 0, 255}};

// A frame of 65535 x 65535 on a 2 x 1 screen asked LZW for 4.29e9 indices; now
// it is refused before decoding, and the frames before it stay.
TEST(PictureBounds, GifFrameOverThePixelCapIsLeftOut) {
  gif_writer::Gif gif{2, 1, kRedBlue, 0, std::nullopt, {}};
  gif.frames.push_back(gif_writer::frame(0, 0, 2, 1, {0, 1}));
  gif.frames.push_back(gif_writer::frame(0, 0, 65535, 65535, {1, 0}));
  largest = 0;
  watching = true;
  auto p = pictures::decode_picture(gif_writer::write(gif));
  watching = false;
  ASSERT_TRUE(p);
  EXPECT_EQ(p->animation.size(), 1u);
  EXPECT_LT(largest, kSmallAllocation);
}

// A 4000 x 4000 frame (within the cap) whose LZW data is a few bytes: no code
// stands for more than 4096 indices, so the frame cannot be there.
TEST(PictureBounds, GifFrameLargerThanItsDataCanHold) {
  gif_writer::Gif gif{4000, 4000, kRedBlue, 0, std::nullopt, {}};
  gif.frames.push_back(gif_writer::frame(0, 0, 4000, 4000, {0}));
  const Watched watched = decode_gif_watched(gif);
  EXPECT_FALSE(watched.decoded);
  EXPECT_LT(watched.largest, kSmallAllocation);
}

// Rows below the screen are not decoded: a 2 x 4000 frame on a 2 x 1 screen whose
// data holds only its first row still shows that row.
TEST(PictureBounds, GifRowsBelowTheScreenAreNeverDecoded) {
  gif_writer::Gif gif{2, 1, kRedBlue, 0, std::nullopt, {}};
  gif.frames.push_back(gif_writer::frame(0, 0, 2, 4000, {1, 0}));
  auto p = pictures::decode_picture(gif_writer::write(gif));
  ASSERT_TRUE(p);
  ASSERT_EQ(p->animation.size(), 1u);
  EXPECT_EQ(p->animation[0].bgra, (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
}

}  // namespace
