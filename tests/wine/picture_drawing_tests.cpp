// Pictures drawn into a memory device context and read back pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "canvas.h"
#include "files.h"
#include "frame/byte_reader.h"
#include "pictures/picture_drawing.h"

namespace {

using Bytes = std::vector<uint8_t>;
using frame::OwnedBitmap;
using namespace support::colours;

constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
// The last of the fixtures' eight colours.
constexpr COLORREF kBrown = RGB(128, 64, 32);

Bytes fixture(const std::string& name) {
  const std::string path = std::string(PICTURE_FIXTURES) + "/" + name;
  EXPECT_TRUE(support::readable(path)) << name;
  return support::read_bytes(path);
}

pictures::LoadedPicture load(const Bytes& bytes) {
  auto loaded = pictures::load_picture(bytes);
  EXPECT_TRUE(loaded);
  return loaded ? std::move(*loaded) : pictures::LoadedPicture{};
}

// Every picture is drawn onto grey, so that what it left untouched shows.
class Canvas : public support::Canvas {
 public:
  Canvas(int width, int height) : support::Canvas(width, height, kGrey) {}
};

struct Pixel {
  int x, y;
  COLORREF colour;
};

void expect_pixels(const Canvas& canvas, std::initializer_list<Pixel> pixels) {
  for (const Pixel& pixel : pixels) EXPECT_EQ(canvas.at(pixel.x, pixel.y), pixel.colour) << pixel.x << ',' << pixel.y;
}

const COLORREF kEightColours[2][4] = {
    {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)},
    {RGB(0, 0, 0), RGB(255, 255, 0), RGB(0, 255, 255), RGB(128, 64, 32)},
};

void expect_eight_colours_at(const Canvas& canvas, int left, int top) {
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.at(left + x, top + y), kEightColours[y][x]) << x << ',' << y;
}

TEST(PictureDrawing, EachKindDrawsItsPixelsAtItsOwnSize) {
  for (const char* name : {"rgb24.bmp", "palette4.bmp", "rgb.png", "palette.gif", "palette8.pcx"}) {
    SCOPED_TRACE(name);
    Canvas canvas(8, 6);
    auto loaded = load(fixture(name));
    ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 2, 3, -1, -1, 0));
    expect_eight_colours_at(canvas, 2, 3);
    EXPECT_EQ(canvas.at(1, 3), kGrey);  // left of the picture
    EXPECT_EQ(canvas.at(6, 4), kGrey);  // right of it
    EXPECT_EQ(canvas.at(2, 5), kGrey);  // below it
  }
}

TEST(PictureDrawing, StretchesToTheRequestedSize) {
  Canvas canvas(12, 6);
  auto loaded = load(fixture("rgb24.bmp"));
  ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 0, 0, 8, 4, 0));
  expect_pixels(canvas, {{0, 0, RGB(255, 0, 0)}, {7, 3, RGB(128, 64, 32)}, {8, 0, kGrey}, {0, 4, kGrey}});
}

// A 24-bit picture three pixels wide, bottom row first: red, green, blue under
// white, (128, 64, 32), black. Its rows need padding before GDI takes them, where
// the fixtures' widths, all multiples of four, need none.
Bytes three_pixels_wide_bmp() {
  const uint8_t rows[] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 32, 64, 128, 0, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER file = {0x4D42, DWORD(sizeof file + sizeof(BITMAPINFOHEADER) + sizeof rows), 0, 0,
                           DWORD(sizeof file + sizeof(BITMAPINFOHEADER))};
  BITMAPINFOHEADER info = {sizeof info, 3, 2, 1, 24, BI_RGB, sizeof rows, 0, 0, 0, 0};
  Bytes bytes(reinterpret_cast<const uint8_t*>(&file), reinterpret_cast<const uint8_t*>(&file) + sizeof file);
  bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&info),
               reinterpret_cast<const uint8_t*>(&info) + sizeof info);
  bytes.insert(bytes.end(), std::begin(rows), std::end(rows));
  return bytes;
}

TEST(PictureDrawing, RowsThatNeedPaddingDrawAsStored) {
  Canvas canvas(3, 2);
  auto loaded = load(three_pixels_wide_bmp());
  ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 0, 0, -1, -1, 0));
  expect_pixels(canvas, {{0, 0, kWhite}, {1, 0, kBrown}, {2, 0, kBlack}, {0, 1, kRed}, {1, 1, kLime}, {2, 1, kBlue}});
}

TEST(PictureDrawing, TransparentColourLeavesTheTargetShowing) {
  Canvas canvas(4, 2);
  auto loaded = load(fixture("rgb24.bmp"));
  auto context = pictures::prepare_picture(canvas.dc(), &loaded, 0);
  ASSERT_TRUE(context);
  ASSERT_TRUE(pictures::draw_picture(*context, 0, 0, -1, -1, -long(RGB(255, 255, 255))));
  EXPECT_EQ(canvas.at(3, 0), kGrey);  // white was left out
  EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(0, 1), RGB(0, 0, 0));
  EXPECT_EQ(canvas.at(3, 1), RGB(128, 64, 32));
  EXPECT_EQ(GetBkColor(canvas.dc()), RGB(255, 255, 255)) << "the target's colours come back";
}

TEST(PictureDrawing, RasterOperationIsPassedOn) {
  Canvas canvas(4, 2);
  auto loaded = load(fixture("rgb24.bmp"));
  auto context = pictures::prepare_picture(canvas.dc(), &loaded, 0);
  ASSERT_TRUE(context);
  ASSERT_TRUE(pictures::draw_picture(*context, 0, 0, -1, -1, SRCINVERT));
  EXPECT_EQ(canvas.at(0, 0), RGB(0x7F, 0x80, 0x80));  // 0xFF ^ 0x80 in red only
  EXPECT_EQ(canvas.at(3, 0), RGB(0x7F, 0x7F, 0x7F));
}

TEST(PictureDrawing, PngAlphaMixesWithTheBlendColour) {
  Canvas canvas(3, 1);
  auto loaded = load(fixture("alpha.png"));
  ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 0, 0, -1, -1, RGB(0x40, 0x80, 0xC0)));
  expect_pixels(canvas, {{0, 0, RGB(10, 20, 30)}, {1, 0, RGB(0x40, 0x80, 0xC0)}, {2, 0, RGB(159, 63, 95)}});
}

TEST(PictureDrawing, ButtonFaceBlendColourMeansTheSystemColour) {
  Canvas canvas(3, 1);
  auto loaded = load(fixture("alpha.png"));
  ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 0, 0, -1, -1, pictures::kButtonFaceColour));
  EXPECT_EQ(canvas.at(1, 0), GetSysColor(COLOR_BTNFACE));
}

// 10 x 2 at one bit: 0xAA 0x80 / 0xFF 0xFF, run-length coded after a 128-byte header.
Bytes one_bit_pcx() {
  Bytes file(128, 0);
  file[0] = 0x0A, file[1] = 3, file[2] = 1, file[3] = 1, file[8] = 9, file[10] = 1, file[65] = 1, file[66] = 2;
  file.insert(file.end(), {0xAA, 0x80, 0xC2, 0xFF});
  return file;
}

TEST(PictureDrawing, MonochromePcxTakesTheTargetsTextAndBackgroundColours) {
  Canvas canvas(10, 2);
  auto loaded = load(one_bit_pcx());
  ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 0, 0, -1, -1, 0));
  expect_pixels(canvas, {{0, 0, kWhite}, {1, 0, kBlack}, {8, 0, kWhite}, {9, 0, kBlack}, {5, 1, kWhite}});
}

// A one-image icon of 32 x 32 at 32 bits, every pixel opaque `colour`.
Bytes solid_icon(uint8_t r, uint8_t g, uint8_t b) {
  frame::ByteWriter w;
  w.u32(1u << 16);
  w.bytes(Bytes{1, 0, 32, 32, 0, 0});
  w.u32(0x00200001);
  const uint32_t image_size = 40 + 32 * 32 * 4 + 32 * 4;
  w.u32(image_size);
  w.u32(22);
  w.u32(40);
  w.i32(32);
  w.i32(64);
  w.u32(0x00200001);
  w.bytes(Bytes(24, 0));
  for (int i = 0; i < 32 * 32; ++i) w.bytes(Bytes{b, g, r, 255});
  w.bytes(Bytes(32 * 4, 0));
  return w.take();
}

TEST(PictureDrawing, IconsDrawThroughTheirHandle) {
  auto loaded = load(solid_icon(0, 0x60, 0xC0));
  ASSERT_TRUE(loaded.icon);
  EXPECT_EQ(loaded.picture.kind, pictures::PictureKind::icon);
  Canvas canvas(40, 40);
  ASSERT_TRUE(pictures::draw_picture_at_once(loaded, canvas.dc(), 4, 4, -1, -1, 0));
  expect_pixels(canvas, {{4, 4, RGB(0, 0x60, 0xC0)}, {35, 35, RGB(0, 0x60, 0xC0)}, {3, 4, kGrey}, {36, 35, kGrey}});
}

TEST(PictureDrawing, PrepareNeedsAPictureAndADeviceContext) {
  Canvas canvas(2, 2);
  auto loaded = load(fixture("rgb24.bmp"));
  EXPECT_FALSE(pictures::prepare_picture(nullptr, &loaded, 0));
  EXPECT_FALSE(pictures::prepare_picture(canvas.dc(), nullptr, 0));
  EXPECT_FALSE(pictures::load_picture(Bytes{'B', 'X', 0, 0, 0, 0, 0, 0}));
}

COLORREF bitmap_pixel(HBITMAP bitmap, int x, int y) { return GetPixel(frame::MemoryDc(nullptr, bitmap).get(), x, y); }

TEST(BitmapFromBytes, PicturesBecomeScreenBitmaps) {
  OwnedBitmap bitmap = pictures::bitmap_from_bytes(fixture("rgb24.bmp"), 0);
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  ASSERT_TRUE(GetObject(bitmap.get(), sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 4);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(bitmap_pixel(bitmap.get(), 3, 1), RGB(128, 64, 32));
  EXPECT_FALSE(pictures::bitmap_from_bytes(Bytes{1, 2, 3, 4, 5}, 0));
}

TEST(BitmapFromBytes, IconsAreDrawnOnWhite) {
  Bytes icon = solid_icon(0x20, 0x40, 0x60);
  // Leave the left column transparent through the AND mask: bit 7 of each mask row.
  for (size_t row = 0; row < 32; ++row) icon[icon.size() - 128 + row * 4] = 0x80;
  for (size_t y = 0; y < 32; ++y) icon[22 + 40 + y * 32 * 4 + 3] = 0;  // and its alpha
  OwnedBitmap bitmap = pictures::bitmap_from_bytes(icon, 0);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap_pixel(bitmap.get(), 0, 5), RGB(255, 255, 255));
  EXPECT_EQ(bitmap_pixel(bitmap.get(), 1, 5), RGB(0x20, 0x40, 0x60));
}

bool same_rect(const RECT& rect, const RECT& expected) {
  return rect.left == expected.left && rect.top == expected.top && rect.right == expected.right &&
         rect.bottom == expected.bottom;
}

TEST(FitAndCentre, APictureTheClientAreaHoldsIsCentredAtItsSize) {
  EXPECT_TRUE(same_rect(pictures::fit_and_centre({0, 0, 100, 50}, 40, 20), {30, 15, 70, 35}));
  EXPECT_TRUE(same_rect(pictures::fit_and_centre({0, 0, 40, 20}, 40, 20), {0, 0, 40, 20}));
}

TEST(FitAndCentre, APictureTooLargeInEitherDimensionIsScaledDownKeepingItsShape) {
  EXPECT_TRUE(same_rect(pictures::fit_and_centre({0, 0, 100, 50}, 200, 50), {0, 12, 100, 37}));
  EXPECT_TRUE(same_rect(pictures::fit_and_centre({0, 0, 100, 50}, 30, 100), {42, 0, 57, 50}));
}

bool inside(HRGN region, int x, int y) { return PtInRegion(region, x, y) != FALSE; }

TEST(ColourKeyRegion, LeavesOutTheKeyColour) {
  OwnedBitmap bitmap = pictures::bitmap_from_bytes(fixture("rgb24.bmp"), 0);
  frame::OwnedHandle<HRGN, frame::DeleteGdiObject> region(
      pictures::region_from_colour_key(bitmap.get(), RGB(255, 255, 255)));
  ASSERT_TRUE(region);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(inside(region.get(), x, y), !(x == 3 && y == 0)) << x << ',' << y;
  EXPECT_FALSE(inside(region.get(), 4, 0));
}

TEST(ColourKeyRegion, AllKeyGivesAnEmptyRegion) {
  OwnedBitmap bitmap(CreateBitmap(5, 5, 1, 1, nullptr));
  PatBlt(frame::MemoryDc(nullptr, bitmap.get()).get(), 0, 0, 5, 5, WHITENESS);
  frame::OwnedHandle<HRGN, frame::DeleteGdiObject> region(
      pictures::region_from_colour_key(bitmap.get(), RGB(255, 255, 255)));
  ASSERT_TRUE(region);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.get(), &box), NULLREGION);
}

TEST(ColourKeyRegion, AKeyColouredFrameAroundAShapeLeavesExactlyTheShape) {
  OwnedBitmap bitmap(CreateCompatibleBitmap(frame::screen_dc().get(), 12, 10));
  const RECT all{0, 0, 12, 10};
  const RECT shape{3, 2, 8, 7};
  {
    const frame::MemoryDc dc(nullptr, bitmap.get());
    const frame::OwnedBrush key(CreateSolidBrush(RGB(255, 0, 255)));
    const frame::OwnedBrush ink(CreateSolidBrush(RGB(10, 120, 200)));
    FillRect(dc.get(), &all, key.get());
    FillRect(dc.get(), &shape, ink.get());
  }
  frame::OwnedHandle<HRGN, frame::DeleteGdiObject> region(
      pictures::region_from_colour_key(bitmap.get(), RGB(255, 0, 255)));
  ASSERT_TRUE(region);
  const frame::OwnedHandle<HRGN, frame::DeleteGdiObject> expected(CreateRectRgnIndirect(&shape));
  EXPECT_TRUE(EqualRgn(region.get(), expected.get()));
}

// A 120 x 120 checkerboard is 7,200 one-pixel rectangles: several batches.
TEST(ColourKeyRegion, ManyRectanglesAreUnitedAcrossBatches) {
  const int side = 120;
  std::vector<uint8_t> rows(size_t(side) * side * 3);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      if ((x + y) % 2 == 0) rows[(size_t(y) * side + x) * 3 + 1] = 0xFF;  // green; the rest black
  frame::ByteWriter w;
  w.bytes(Bytes{'B', 'M'});
  w.u32(uint32_t(54 + rows.size()));
  w.u32(0);
  w.u32(54);
  w.u32(40);
  w.i32(side);
  w.i32(-side);
  w.u32(0x00180001);
  w.bytes(Bytes(24, 0));
  w.bytes(rows);
  OwnedBitmap bitmap = pictures::bitmap_from_bytes(w.take(), 0);
  ASSERT_TRUE(bitmap);
  frame::OwnedHandle<HRGN, frame::DeleteGdiObject> region(pictures::region_from_colour_key(bitmap.get(), RGB(0, 0, 0)));
  ASSERT_TRUE(region);
  int wrong = 0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      if (inside(region.get(), x, y) != (bitmap_pixel(bitmap.get(), x, y) != RGB(0, 0, 0))) ++wrong;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(GetRegionData(region.get(), 0, nullptr) - sizeof(RGNDATAHEADER), 7200 * sizeof(RECT));
}

}  // namespace
