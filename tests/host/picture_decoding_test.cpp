#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "frame/byte_reader.h"
#include "picture_fixtures.h"
#include "pictures/decode.h"
#include "pictures/detect.h"

namespace {

using pictures::Picture;
using pictures::PictureKind;
using Bytes = std::vector<uint8_t>;

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << '(' << c.r << ',' << c.g << ',' << c.b << ')'; }

using picture_fixtures::with_jpeg_size;

Bytes fixture(const std::string& name) { return picture_fixtures::read(name); }

// (x, y) counted from the top of a B,G,R bottom-up picture.
Rgb bgr_bottom_up(const Picture& p, int x, int y) {
  const size_t at = (size_t(p.height - 1 - y) * p.width + x) * 3;
  return {p.pixels[at + 2], p.pixels[at + 1], p.pixels[at]};
}

// (x, y) counted from the top of an 8-bit DIB block.
Rgb dib_pixel(const std::vector<uint8_t>& block, int width, int height, int x, int y) {
  const size_t stride = (size_t(width) + 3) / 4 * 4;
  const uint8_t index = block[pictures::kDibPixelOffset + size_t(height - 1 - y) * stride + x];
  const size_t entry = pictures::kDibHeaderSize + index * 4;
  return {block[entry + 2], block[entry + 1], block[entry]};
}

bool near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// The 4 x 2 picture most fixtures hold, row by row from the top.
const std::array<std::array<Rgb, 4>, 2> kEightColours{{
    {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}},
    {{{0, 0, 0}, {255, 255, 0}, {0, 255, 255}, {128, 64, 32}}},
}};

template <typename PixelAt>
void expect_eight_colours(const Picture& p, PixelAt pixel_at) {
  ASSERT_EQ(p.width, 4);
  ASSERT_EQ(p.height, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel_at(x, y), kEightColours[y][x]) << x << ',' << y;
}

// ---- detection ----

TEST(PictureDetection, NamesEachFormatByItsFirstBytes) {
  EXPECT_EQ(pictures::detect_picture(Bytes{'B', 'M', 0, 0, 0, 0}), PictureKind::bmp);
  EXPECT_EQ(pictures::detect_picture(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0}), PictureKind::jpeg);
  EXPECT_EQ(pictures::detect_picture(Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}), PictureKind::png);
  EXPECT_EQ(pictures::detect_picture(Bytes{0, 0, 1, 0, 1, 0}), PictureKind::icon);
  EXPECT_EQ(pictures::detect_picture(Bytes{0, 0, 2, 0, 3, 0}), PictureKind::cursor);
  EXPECT_EQ(pictures::detect_picture(Bytes{'G', 'I', 'F', '8', '7', 'a'}), PictureKind::gif);
  EXPECT_EQ(pictures::detect_picture(Bytes{'G', 'I', 'F', '8', '9', 'a'}), PictureKind::gif);
  EXPECT_EQ(pictures::detect_picture(Bytes{0x0A, 5, 1, 8, 0, 0}), PictureKind::pcx8);
  EXPECT_EQ(pictures::detect_picture(Bytes{0x0A, 0, 1, 8, 0, 0}), PictureKind::pcx8);
  EXPECT_EQ(pictures::detect_picture(Bytes{0x0A, 3, 1, 1, 0, 0}), PictureKind::pcx1);
}

TEST(PictureDetection, FiveBytesAreNeverAPicture) {
  EXPECT_EQ(pictures::detect_picture(Bytes{'B', 'M', 0, 0, 0}), PictureKind::none);
  EXPECT_EQ(pictures::detect_picture(Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0}), PictureKind::none);
  EXPECT_EQ(pictures::detect_picture(Bytes{}), PictureKind::none);
  EXPECT_FALSE(pictures::decode_picture(Bytes{'B', 'M', 0, 0, 0}));
}

TEST(PictureDetection, RejectsNearMisses) {
  EXPECT_EQ(pictures::detect_picture(Bytes{'B', 'X', 0, 0, 0, 0}), PictureKind::none);
  EXPECT_EQ(pictures::detect_picture(Bytes{0, 0, 1, 0, 0, 0}), PictureKind::none);  // icon with no images
  EXPECT_EQ(pictures::detect_picture(Bytes{0, 0, 3, 0, 1, 0}), PictureKind::none);
  EXPECT_EQ(pictures::detect_picture(Bytes{'G', 'I', 'F', '8', '8', 'a'}), PictureKind::none);
  EXPECT_EQ(pictures::detect_picture(Bytes{0x0A, 6, 1, 8, 0, 0}), PictureKind::none);
  EXPECT_EQ(pictures::detect_picture(Bytes{0x0A, 5, 1, 1, 0, 0}), PictureKind::none);  // 1 bit only as version 3
  EXPECT_EQ(pictures::detect_picture(Bytes{0x0A, 3, 0, 8, 0, 0}), PictureKind::none);
}

TEST(PictureDetection, BmThenAnythingIsBmpFirst) {
  // "BM" wins over every later rule, as the order of the checks says.
  EXPECT_EQ(pictures::detect_picture(Bytes{'B', 'M', 'G', 'I', 'F', '8'}), PictureKind::bmp);
}

// ---- BMP ----

// A 54-byte header plus palette and rows, as a BMP writer lays them out.
Bytes bmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t colours, const Bytes& palette,
          const Bytes& rows) {
  frame::ByteWriter w;
  w.bytes(std::array<uint8_t, 2>{'B', 'M'});
  w.u32(uint32_t(54 + palette.size() + rows.size()));
  w.u32(0);
  w.u32(uint32_t(54 + palette.size()));
  w.u32(40);
  w.i32(width);
  w.i32(height);
  w.u32(1u | uint32_t(bits) << 16);
  w.u32(compression);
  w.u32(uint32_t(rows.size()));
  w.u32(2835);
  w.u32(2835);
  w.u32(colours);
  w.u32(0);
  w.bytes(palette);
  w.bytes(rows);
  return w.take();
}

TEST(BmpDecoding, TwentyFourBitsKeepTheirPixels) {
  auto p = pictures::decode_picture(fixture("rgb24.bmp"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PictureKind::bmp);
  EXPECT_EQ(p->pixels.size(), 4u * 2 * 3);
  expect_eight_colours(*p, [&](int x, int y) { return bgr_bottom_up(*p, x, y); });
}

TEST(BmpDecoding, FourBitPaletteIsLookedUp) {
  auto p = pictures::decode_picture(fixture("palette4.bmp"));
  ASSERT_TRUE(p);
  expect_eight_colours(*p, [&](int x, int y) { return bgr_bottom_up(*p, x, y); });
}

TEST(BmpDecoding, OneBitRowsUnpackMostSignificantBitFirst) {
  auto p = pictures::decode_picture(fixture("mono.bmp"));
  ASSERT_TRUE(p);
  ASSERT_EQ(p->width, 5);
  ASSERT_EQ(p->height, 3);
  const char* rows[] = {"10101", "01010", "11100"};  // 1 is white here
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const int v = rows[y][x] == '1' ? 255 : 0;
      EXPECT_EQ(bgr_bottom_up(*p, x, y), (Rgb{v, v, v})) << x << ',' << y;
    }
}

TEST(BmpDecoding, EightAndThirtyTwoBitsAndRowPadding) {
  // 3 x 1 at 8 bits: indices 2, 0, 1 padded to 4 bytes; palette B,G,R,0.
  const Bytes palette{10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0};
  auto eight = pictures::decode_bmp(bmp(3, 1, 8, 0, 3, palette, {2, 0, 1, 0xEE}));
  ASSERT_TRUE(eight);
  EXPECT_EQ(eight->pixels, (Bytes{70, 80, 90, 10, 20, 30, 40, 50, 60}));
  // 2 x 2 at 32 bits: the fourth byte of each pixel is dropped; file rows stay in order.
  auto wide = pictures::decode_bmp(bmp(2, 2, 32, 0, 0, {}, {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12, 9}));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(BmpDecoding, IndexBeyondTheStoredPaletteIsBlack) {
  const Bytes palette{10, 20, 30, 0};
  auto p = pictures::decode_bmp(bmp(2, 1, 8, 0, 1, palette, {0, 200, 0, 0}));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->pixels, (Bytes{10, 20, 30, 0, 0, 0}));
}

// A negative height stores the rows top-down: the file's first row is the top one,
// so bottom-up it comes last. A negative width is taken by its size.
TEST(BmpDecoding, NegativeHeightIsTopDownAndNegativeWidthIsItsSize) {
  const Bytes rows{1, 2, 3, 0, 4, 5, 6, 0};
  auto top_down = pictures::decode_bmp(bmp(-1, -2, 24, 0, 0, {}, rows));
  ASSERT_TRUE(top_down);
  EXPECT_EQ(top_down->width, 1);
  EXPECT_EQ(top_down->height, 2);
  EXPECT_EQ(top_down->pixels, (Bytes{4, 5, 6, 1, 2, 3}));
  auto bottom_up = pictures::decode_bmp(bmp(1, 2, 24, 0, 0, {}, rows));
  ASSERT_TRUE(bottom_up);
  EXPECT_EQ(bottom_up->pixels, (Bytes{1, 2, 3, 4, 5, 6}));
}

// Same 4 x 2 picture at 4 bits, with the rows stored the other way round.
TEST(BmpDecoding, TopDownPaletteRowsGiveTheSamePicture) {
  Bytes file = fixture("palette4.bmp");
  const Bytes bottom_up = pictures::decode_bmp(file)->pixels;
  const size_t pixel_offset = file[10] | file[11] << 8;
  std::swap_ranges(file.begin() + pixel_offset, file.begin() + pixel_offset + 4, file.begin() + pixel_offset + 4);
  file[22] = 0xFE;  // height -2
  file[23] = file[24] = file[25] = 0xFF;
  auto top_down = pictures::decode_bmp(file);
  ASSERT_TRUE(top_down);
  EXPECT_EQ(top_down->pixels, bottom_up);
}

TEST(BmpDecoding, ColoursBeyondWhatThePixelsCanNameAreReadPast) {
  // A 1-bit picture listing four colours: the last two are never used.
  const Bytes palette{10, 20, 30, 0, 40, 50, 60, 0, 1, 1, 1, 0, 2, 2, 2, 0};
  auto p = pictures::decode_bmp(bmp(2, 1, 1, 0, 4, palette, {0x40, 0, 0, 0}));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->pixels, (Bytes{10, 20, 30, 40, 50, 60}));
  // A count no file could hold before its pixels gives nothing.
  EXPECT_FALSE(pictures::decode_bmp(bmp(2, 1, 1, 0, 0xFFFFFFFF, palette, {0x40, 0, 0, 0})));
}

// Longer info headers (ImageMagick writes 124 bytes) put the palette after them.
TEST(BmpDecoding, PaletteFollowsALongerInfoHeader) {
  Bytes file = bmp(2, 1, 8, 0, 2, {10, 20, 30, 0, 40, 50, 60, 0}, {1, 0, 0, 0});
  file.insert(file.begin() + 54, 84, 0xEE);
  file[14] = 124;
  file[10] = 54 + 84 + 8;
  auto p = pictures::decode_bmp(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->pixels, (Bytes{40, 50, 60, 10, 20, 30}));
}

TEST(BmpDecoding, RunLengthAndSixteenBitsGiveNothing) {
  EXPECT_FALSE(pictures::decode_picture(bmp(2, 1, 8, 1, 1, {0, 0, 0, 0}, {2, 0, 0, 1})));
  EXPECT_FALSE(pictures::decode_picture(bmp(2, 1, 16, 0, 0, {}, {0, 0, 0, 0})));
  EXPECT_TRUE(pictures::decode_picture(bmp(2, 1, 8, 0, 1, {0, 0, 0, 0}, {0, 0, 0, 0})));
}

TEST(BmpDecoding, PaletteRunningPastThePixelOffsetGivesNothing) {
  Bytes file = bmp(1, 1, 8, 0, 2, {1, 2, 3, 0, 4, 5, 6, 0}, {1, 0, 0, 0});
  file[10] = 54 + 4;  // pixel data claimed to start inside the palette
  EXPECT_FALSE(pictures::decode_bmp(file));
}

TEST(BmpDecoding, TruncatedAndHugeGiveNothing) {
  Bytes whole = fixture("rgb24.bmp");
  for (size_t cut : {size_t(6), size_t(53), whole.size() - 1})
    EXPECT_FALSE(pictures::decode_picture(Bytes(whole.begin(), whole.begin() + cut))) << cut;
  EXPECT_FALSE(pictures::decode_bmp(bmp(40000, 1, 24, 0, 0, {}, {})));
  EXPECT_FALSE(pictures::decode_bmp(bmp(20000, 20000, 24, 0, 0, {}, {})));
  EXPECT_FALSE(pictures::decode_bmp(bmp(INT32_MIN, 1, 24, 0, 0, {}, {})));
  EXPECT_FALSE(pictures::decode_bmp(bmp(0, 1, 24, 0, 0, {}, {})));
}

// ---- JPEG ----

// Colour at full resolution, and at half the width or half both ways: the
// quadrants' middles come back in their colours either way.
TEST(JpegDecoding, ColoursComeBackBgrBottomUp) {
  for (const char* name : {"quadrants.jpg", "quadrants-422.jpg", "quadrants-420.jpg"}) {
    SCOPED_TRACE(name);
    auto p = pictures::decode_picture(fixture(name));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, PictureKind::jpeg);
    ASSERT_EQ(p->width, 16);
    ASSERT_EQ(p->height, 16);
    EXPECT_EQ(p->pixels.size(), 16u * 16 * 3);
    EXPECT_TRUE(near(bgr_bottom_up(*p, 3, 3), {255, 0, 0}, 3)) << bgr_bottom_up(*p, 3, 3);
    EXPECT_TRUE(near(bgr_bottom_up(*p, 12, 3), {0, 255, 0}, 3)) << bgr_bottom_up(*p, 12, 3);
    EXPECT_TRUE(near(bgr_bottom_up(*p, 3, 12), {0, 0, 255}, 3)) << bgr_bottom_up(*p, 3, 12);
    EXPECT_TRUE(near(bgr_bottom_up(*p, 12, 12), {255, 255, 255}, 3)) << bgr_bottom_up(*p, 12, 12);
  }
}

TEST(JpegDecoding, GreyscaleGivesEqualRedGreenBlue) {
  auto p = pictures::decode_picture(fixture("grey.jpg"));
  ASSERT_TRUE(p);
  ASSERT_EQ(p->width, 16);
  ASSERT_EQ(p->height, 8);
  for (size_t i = 0; i < p->pixels.size(); i += 3) {
    EXPECT_EQ(p->pixels[i], p->pixels[i + 1]);
    EXPECT_EQ(p->pixels[i], p->pixels[i + 2]);
  }
  EXPECT_TRUE(near(bgr_bottom_up(*p, 2, 2), {40, 40, 40}, 3)) << bgr_bottom_up(*p, 2, 2);
  EXPECT_TRUE(near(bgr_bottom_up(*p, 13, 5), {200, 200, 200}, 3)) << bgr_bottom_up(*p, 13, 5);
}

// Viewers show a JPEG that lacks only its end marker; so do we, and exactly as if it
// had one. Cut inside the last scan, it is still nothing.
TEST(JpegDecoding, MissingOnlyTheEndMarkerStillDecodes) {
  for (const char* name : {"quadrants.jpg", "progressive.jpg"}) {
    SCOPED_TRACE(name);
    const Bytes whole = fixture(name);
    ASSERT_EQ(whole[whole.size() - 2], 0xFF);
    ASSERT_EQ(whole.back(), 0xD9);
    auto complete = pictures::decode_picture(whole);
    auto unended = pictures::decode_picture(Bytes(whole.begin(), whole.end() - 2));
    ASSERT_TRUE(complete);
    ASSERT_TRUE(unended);
    EXPECT_EQ(unended->pixels, complete->pixels);
    EXPECT_FALSE(pictures::decode_picture(Bytes(whole.begin(), whole.end() - 6)));
  }
}

TEST(JpegDecoding, TruncatedAndDamagedGiveNothing) {
  Bytes whole = fixture("quadrants.jpg");
  for (size_t cut : {size_t(6), size_t(100), whole.size() - 10})
    EXPECT_FALSE(pictures::decode_picture(Bytes(whole.begin(), whole.begin() + cut))) << cut;
  Bytes no_header{0xFF, 0xD8, 0xFF, 0xD9, 0, 0};
  EXPECT_FALSE(pictures::decode_picture(no_header));
}

// Its data has no bound on the size it can fill, and the library version these
// pictures were made for never decoded it.
TEST(JpegDecoding, ArithmeticCodingGivesNothing) {
  const Bytes file = fixture("arithmetic.jpg");
  ASSERT_EQ(pictures::detect_picture(file), PictureKind::jpeg);
  EXPECT_FALSE(pictures::decode_picture(file));
}

TEST(JpegDecoding, HugeDeclaredSizeGivesNothing) {
  EXPECT_FALSE(pictures::decode_picture(with_jpeg_size(fixture("quadrants.jpg"), 60000, 60000)));
  EXPECT_TRUE(pictures::decode_picture(with_jpeg_size(fixture("quadrants.jpg"), 16, 16)));
}

// Found by the fuzzer: a progressive header made libjpeg size its coefficient
// buffers from the declared size before the cap was looked at.
TEST(JpegDecoding, HugeProgressiveGivesNothingBeforeLibjpegAllocates) {
  const Bytes progressive = fixture("progressive.jpg");
  ASSERT_TRUE(pictures::decode_picture(progressive));
  EXPECT_FALSE(pictures::decode_picture(with_jpeg_size(progressive, 65000, 65000)));
  EXPECT_FALSE(pictures::decode_picture(with_jpeg_size(progressive, 8, 65000)));
}

// ---- PNG ----

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgba& c) {
  return os << '(' << c.r << ',' << c.g << ',' << c.b << ',' << c.a << ')';
}

// (x, y) of a B,G,R,A top-down picture.
Rgba bgra_top_down(const Picture& p, int x, int y) {
  const size_t at = (size_t(y) * p.width + x) * 4;
  return {p.pixels[at + 2], p.pixels[at + 1], p.pixels[at], p.pixels[at + 3]};
}

// Whatever the layout (true colour of 8 or 16 bits, a 4-bit palette, interlaced),
// the same colours come out as the same opaque 8-bit BGRA rows, and the ancillary
// chunks every fixture carries change nothing.
TEST(PngDecoding, EveryLayoutGivesOpaqueBgraRowsTopDown) {
  for (const char* name : {"rgb.png", "rgb16.png", "palette4.png", "interlaced.png"}) {
    SCOPED_TRACE(name);
    auto p = pictures::decode_picture(fixture(name));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, PictureKind::png);
    ASSERT_EQ(p->pixels.size(), 4u * 2 * 4);
    expect_eight_colours(*p, [&](int x, int y) {
      const Rgba pixel = bgra_top_down(*p, x, y);
      EXPECT_EQ(pixel.a, 255);
      return Rgb{pixel.r, pixel.g, pixel.b};
    });
  }
}

TEST(PngDecoding, GreyOfAnyDepthGivesEqualRedGreenBlue) {
  for (const char* name : {"grey2.png", "grey16.png"}) {
    SCOPED_TRACE(name);
    auto p = pictures::decode_picture(fixture(name));
    ASSERT_TRUE(p);
    ASSERT_EQ(p->width, 4);
    ASSERT_EQ(p->height, 1);
    const int greys[] = {0, 85, 170, 255};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(bgra_top_down(*p, x, 0), (Rgba{greys[x], greys[x], greys[x], 255})) << x;
  }
}

TEST(PngDecoding, GreyAlphaAndPaletteTransparencyBecomeAlpha) {
  auto grey = pictures::decode_picture(fixture("greyalpha16.png"));
  ASSERT_TRUE(grey);
  ASSERT_EQ(grey->pixels.size(), 2u * 4);
  EXPECT_EQ(bgra_top_down(*grey, 0, 0), (Rgba{40, 40, 40, 255}));
  EXPECT_EQ(bgra_top_down(*grey, 1, 0), (Rgba{200, 200, 200, 128}));

  auto palette = pictures::decode_picture(fixture("palette-trns.png"));
  ASSERT_TRUE(palette);
  ASSERT_EQ(palette->pixels.size(), 3u * 4);
  EXPECT_EQ(bgra_top_down(*palette, 0, 0), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(bgra_top_down(*palette, 1, 0).a, 0);
  EXPECT_EQ(bgra_top_down(*palette, 2, 0), (Rgba{255, 0, 0, 255}));
}

TEST(PngDecoding, AlphaIsKeptUntilDrawing) {
  auto p = pictures::decode_picture(fixture("alpha.png"));
  ASSERT_TRUE(p);
  ASSERT_EQ(p->pixels.size(), 3u * 4);
  EXPECT_EQ((Bytes(p->pixels.begin(), p->pixels.begin() + 4)), (Bytes{30, 20, 10, 255}));
  EXPECT_EQ(p->pixels[7], 0);
  EXPECT_EQ((Bytes(p->pixels.begin() + 8, p->pixels.end())), (Bytes{0, 0, 255, 128}));
}

TEST(PngDecoding, BlendingTakesTheBlendColourAtAlphaZeroAndKeepsOpaquePixels) {
  auto p = pictures::decode_picture(fixture("alpha.png"));
  ASSERT_TRUE(p);
  pictures::blend_alpha(p->pixels, 0x00C08040);  // R 0x40, G 0x80, B 0xC0
  EXPECT_EQ((Bytes(p->pixels.begin(), p->pixels.begin() + 3)), (Bytes{30, 20, 10}));
  EXPECT_EQ((Bytes(p->pixels.begin() + 4, p->pixels.begin() + 7)), (Bytes{0xC0, 0x80, 0x40}));
  // Half alpha: 128/255 of the colour plus 127/255 of the blend colour, truncated.
  EXPECT_EQ(p->pixels[8], 95);    // 0 + 192 * 127 / 255 = 95.6
  EXPECT_EQ(p->pixels[9], 63);    // 0 + 128 * 127 / 255 = 63.7
  EXPECT_EQ(p->pixels[10], 159);  // 128 + 64 * 127 / 255 = 159.9
}

TEST(PngDecoding, BlendingAtAlphaZeroIgnoresTheStoredColour) {
  Bytes pixels{1, 2, 3, 0, 250, 251, 252, 0};
  pictures::blend_alpha(pixels, 0x00332211);
  EXPECT_EQ(pixels, (Bytes{0x33, 0x22, 0x11, 0, 0x33, 0x22, 0x11, 0}));
}

TEST(PngDecoding, TruncatedDamagedAndHugeGiveNothing) {
  Bytes whole = fixture("rgb.png");
  for (size_t cut : {size_t(8), size_t(30), whole.size() - 13})
    EXPECT_FALSE(pictures::decode_picture(Bytes(whole.begin(), whole.begin() + cut))) << cut;
  Bytes damaged = whole;
  const auto idat = std::search(damaged.begin(), damaged.end(), std::begin("IDAT"), std::end("IDAT") - 1);
  ASSERT_NE(idat, damaged.end());
  idat[6] ^= 0xFF;  // inside the compressed data: the chunk's CRC no longer matches
  EXPECT_FALSE(pictures::decode_picture(damaged));
  Bytes huge = whole;
  huge[16] = 0x7F;  // width 0x7F000004: over the side cap (IHDR's CRC is checked too)
  EXPECT_FALSE(pictures::decode_picture(huge));
}

// Found by the fuzzer: libpng sized a buffer from a damaged chunk length.
TEST(PngDecoding, ChunkLongerThanTheFileGivesNothing) {
  Bytes file = fixture("rgb.png");
  const Bytes text_chunk{0x7F, 0xFF, 0xFF, 0x00, 't', 'E', 'X', 't', 'a', 0, 'b'};
  file.insert(file.begin() + 33, text_chunk.begin(), text_chunk.end());  // right after IHDR
  EXPECT_FALSE(pictures::decode_picture(file));
}

// ---- GIF ----

TEST(GifDecoding, FirstFrameBecomesAnEightBitDibBlock) {
  auto p = pictures::decode_picture(fixture("palette.gif"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PictureKind::gif);
  EXPECT_EQ(p->animation.size(), 1u);
  ASSERT_EQ(p->pixels.size(), 1064u + 4 * 2);
  EXPECT_EQ(p->pixels[0], 40);
  EXPECT_EQ(p->pixels[14], 8);  // bits per pixel
  expect_eight_colours(*p, [&](int x, int y) { return dib_pixel(p->pixels, 4, 2, x, y); });
}

TEST(GifDecoding, TruncatedAndHugeGiveNothing) {
  Bytes whole = fixture("palette.gif");
  for (size_t cut : {size_t(6), size_t(12), size_t(40), whole.size() - 4})
    EXPECT_FALSE(pictures::decode_picture(Bytes(whole.begin(), whole.begin() + cut))) << cut;
  Bytes huge = whole;
  huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535
  EXPECT_FALSE(pictures::decode_picture(huge));
}

// Two 2 x 1 frames on a 2 x 1 screen: red, blue then a frame whose first pixel is
// transparent and second green; LZW code size 2, codes written by hand.
Bytes two_frame_gif() {
  return {
      'G',  'I',  'F',  '8',  '9', 'a', 2, 0,   1, 0, 0x81, 0, 0,  // global table of 4
      255,  0,    0,    0,    0,   255, 0, 255, 0, 0, 0,    0,     // red, blue, green, black
      0x21, 0xF9, 4,    0,    7,   0,   0, 0,                      // delay 7, no transparency
      0x2C, 0,    0,    0,    0,   2,   0, 1,   0, 0,              // frame at 0,0 2 x 1
      2,    2,    0x44, 0x0A, 0,                                   // clear, 0, 1, end
      0x21, 0xF9, 4,    1,    9,   0,   3, 0,                      // delay 9, index 3 transparent
      0x2C, 0,    0,    0,    0,   2,   0, 1,   0, 0,              //
      2,    2,    0x9C, 0x0A, 0,                                   // clear, 3, 2, end
      0x3B,
  };
}

TEST(GifDecoding, AnimationFramesAreComposedWithTheirDelays) {
  auto p = pictures::decode_picture(two_frame_gif());
  ASSERT_TRUE(p);
  ASSERT_EQ(p->animation.size(), 2u);
  EXPECT_EQ(p->animation[0].delay_cs, 7);
  EXPECT_EQ(p->animation[1].delay_cs, 9);
  EXPECT_EQ(dib_pixel(p->pixels, 2, 1, 0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(dib_pixel(p->pixels, 2, 1, 1, 0), (Rgb{0, 0, 255}));
  // B,G,R,A: red and blue, then red seen through and green.
  EXPECT_EQ(p->animation[0].bgra, (Bytes{0, 0, 255, 255, 255, 0, 0, 255}));
  EXPECT_EQ(p->animation[1].bgra, (Bytes{0, 0, 255, 255, 0, 255, 0, 255}));
}

// ---- PCX ----

TEST(PcxDecoding, EightBitsBecomeADibBlock) {
  auto p = pictures::decode_picture(fixture("palette8.pcx"));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PictureKind::pcx8);
  expect_eight_colours(*p, [&](int x, int y) { return dib_pixel(p->pixels, 4, 2, x, y); });
}

// A version 3, 1-bit PCX of 10 x 2; run-length data follows the 128-byte header.
Bytes one_bit_pcx(const Bytes& runs) {
  Bytes file(128, 0);
  file[0] = 0x0A;
  file[1] = 3;
  file[2] = 1;
  file[3] = 1;
  file[8] = 9;   // xmax
  file[10] = 1;  // ymax
  file[65] = 1;  // planes
  file[66] = 2;  // bytes per line
  file.insert(file.end(), runs.begin(), runs.end());
  return file;
}

TEST(PcxDecoding, OneBitRowsArePaddedToSixteenBits) {
  // Row 0: 0xAA 0x80; row 1: a run of two 0xFF bytes (0xC2 0xFF).
  auto p = pictures::decode_picture(one_bit_pcx({0xAA, 0x80, 0xC2, 0xFF}));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PictureKind::pcx1);
  EXPECT_EQ(p->width, 10);
  EXPECT_EQ(p->height, 2);
  EXPECT_EQ(p->pixels, (Bytes{0xAA, 0x80, 0xFF, 0xFF}));
}

TEST(PcxDecoding, TruncatedAndHugeGiveNothing) {
  EXPECT_FALSE(pictures::decode_picture(one_bit_pcx({0xAA, 0x80, 0xC2})));
  Bytes whole = fixture("palette8.pcx");
  for (size_t cut : {size_t(6), size_t(127), size_t(140), whole.size() - 1})
    EXPECT_FALSE(pictures::decode_picture(Bytes(whole.begin(), whole.begin() + cut))) << cut;
  Bytes huge = one_bit_pcx({0xAA, 0x80, 0xC2, 0xFF});
  huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;
  EXPECT_FALSE(pictures::decode_picture(huge));
}

// Found by the fuzzer: a wide line length and a tall picture over a few bytes of
// data asked for half a gigabyte before the data ran out.
TEST(PcxDecoding, LinesLongerThanTheDataCouldHoldGiveNothing) {
  Bytes file = one_bit_pcx({0xAA, 0x80, 0xC2, 0xFF});
  file[10] = 0xFF;  // ymax 8191
  file[11] = 0x1F;
  file[66] = file[67] = 0xFF;  // 65535 bytes per line
  EXPECT_FALSE(pictures::decode_picture(file));
}

// ---- icons and cursors ----

// Bytes of a 1-bit icon image w pixels square: header, two colours, colour and mask rows.
uint32_t one_bit_image_size(uint32_t width) { return 40 + 8 + (width + 31) / 32 * 4 * 2 * width; }

// A directory of entries (width, colour count) whose images are 1-bit DIBs of width
// w and height 2w (colour and mask), each ending in a marker byte.
Bytes icon_file(uint16_t type, const std::vector<std::array<uint8_t, 2>>& entries) {
  frame::ByteWriter w;
  w.u32(uint32_t(type) << 16);
  w.bytes(std::array<uint8_t, 2>{uint8_t(entries.size()), 0});
  uint32_t offset = uint32_t(6 + 16 * entries.size());
  for (auto [width, colours] : entries) {
    w.bytes(std::array<uint8_t, 4>{width, width, colours, 0});
    w.u32(0x00010001);
    w.u32(one_bit_image_size(width));
    w.u32(offset);
    offset += one_bit_image_size(width);
  }
  uint8_t marker = 0;
  for (auto [width, colours] : entries) {
    w.u32(40);
    w.i32(width);
    w.i32(width * 2);
    w.u32(1 | 1 << 16);  // one plane, one bit
    w.bytes(Bytes(one_bit_image_size(width) - 16 - 1, 0));
    w.bytes(std::array<uint8_t, 1>{marker++});
  }
  return w.take();
}

TEST(IconDecoding, TakesTheFirstThirtyTwoPixelImageWithMoreThanFifteenColours) {
  auto p = pictures::decode_picture(icon_file(1, {{16, 0}, {32, 16}, {32, 255}, {48, 0}}));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PictureKind::icon);
  EXPECT_EQ(p->width, 32);
  EXPECT_EQ(p->height, 32);  // half the image height: colour and mask
  ASSERT_EQ(p->pixels.size(), one_bit_image_size(32));
  EXPECT_EQ(p->pixels.back(), 1);
}

TEST(IconDecoding, WithoutAMatchTheLastEntryIsUsed) {
  auto p = pictures::decode_picture(icon_file(2, {{32, 15}, {16, 16}, {48, 0}}));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, PictureKind::cursor);
  EXPECT_EQ(p->width, 48);
  EXPECT_EQ(p->pixels.back(), 2);
}

TEST(IconDecoding, ImagesOutsideTheFileGiveNothing) {
  Bytes file = icon_file(1, {{32, 16}});
  EXPECT_FALSE(pictures::decode_picture(Bytes(file.begin(), file.end() - 1)));
  file[18] = 0xFF;  // image offset far past the end
  EXPECT_FALSE(pictures::decode_picture(file));
  EXPECT_FALSE(pictures::decode_picture(Bytes{0, 0, 1, 0, 1, 0, 32, 32}));
}

// The icon is made from every row the image header names; an image too short for
// its colour and mask rows is no picture.
TEST(IconDecoding, ImageShorterThanItsRowsGivesNothing) {
  Bytes file = icon_file(1, {{32, 16}});
  const size_t image = 6 + 16;
  file[image + 8] = 0;  // height 2 * 256: rows the image does not hold
  file[image + 9] = 2;
  EXPECT_FALSE(pictures::decode_picture(file));
  file[image + 8] = 64;
  file[image + 9] = 0;
  EXPECT_TRUE(pictures::decode_picture(file));
  file[image + 14] = 24;  // 24 bits per pixel: colour rows three times the file's
  EXPECT_FALSE(pictures::decode_picture(file));
}

TEST(PictureFiles, DecodeFromAPathAndNothingForAMissingFile) {
  auto p = pictures::decode_picture_file(std::string(PICTURE_FIXTURES) + "/rgb24.bmp");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 4);
  EXPECT_FALSE(pictures::decode_picture_file(std::string(PICTURE_FIXTURES) + "/no-such-picture.bmp"));
}

}  // namespace
