// The installer's pages as they appear on the screen, compared with the reference
// pictures of them that the README shows (made by `make run`). A page that drifts
// from its picture fails here, and its capture is left beside the test as a BMP.
#include <fstream>

#include "installer_fixture.h"
#include "pictures/decode.h"

namespace installer {
namespace {

// JPEG pictures decode the same way on every run; a pixel is different when a channel
// moves by more than this, and a page may differ in this share of its pixels (text
// anti-aliasing at the edges of the folder line).
constexpr int kChannelTolerance = 24;
constexpr double kDifferentShare = 0.002;

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // top-down
};

Screenshot capture(HWND window) {
  const RECT rect = driver::window_rect(window);
  return {rect.right - rect.left, rect.bottom - rect.top, driver::capture_screen(rect)};
}

void save_as_bmp(const Screenshot& shot, const std::string& path) {
  std::vector<uint8_t> bgrx;
  for (const COLORREF pixel : shot.pixels) bgrx.insert(bgrx.end(), {GetBValue(pixel), GetGValue(pixel), GetRValue(pixel), 0});
  BITMAPINFOHEADER header = {sizeof header, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER file_header = {};
  file_header.bfType = 0x4D42;
  file_header.bfOffBits = sizeof file_header + sizeof header;
  file_header.bfSize = file_header.bfOffBits + static_cast<DWORD>(bgrx.size());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(&file_header), sizeof file_header);
  file.write(reinterpret_cast<const char*>(&header), sizeof header);
  file.write(reinterpret_cast<const char*>(bgrx.data()), static_cast<std::streamsize>(bgrx.size()));
}

bool channel_close(int captured, int reference) {
  return captured - reference <= kChannelTolerance && reference - captured <= kChannelTolerance;
}

// How many pixels of the capture differ from the reference picture (PNG, B G R A).
size_t different_pixels(const Screenshot& shot, const pictures::Picture& reference) {
  size_t different = 0;
  for (size_t pixel = 0; pixel < shot.pixels.size(); ++pixel) {
    const COLORREF captured = shot.pixels[pixel];
    const uint8_t* expected = &reference.pixels[pixel * 4];
    if (!channel_close(GetBValue(captured), expected[0]) || !channel_close(GetGValue(captured), expected[1]) ||
        !channel_close(GetRValue(captured), expected[2]))
      ++different;
  }
  return different;
}

void expect_page_looks_like(const Session& setup, const std::string& page) {
  SCOPED_TRACE(page);
  // The pointer rests on the middle of the background, where nothing shows a hover face.
  const RECT rect = driver::window_rect(setup.window());
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Sleep(500);
  const Screenshot shot = capture(setup.window());
  const auto reference =
      pictures::decode_picture_file(driver::program_from_environment("TRELLIMO_REFERENCE_SCREENS") + "/" + page + ".png");
  ASSERT_TRUE(reference.has_value()) << "no reference picture";
  ASSERT_EQ(reference->kind, pictures::PictureKind::png);
  ASSERT_EQ(reference->width, shot.width);
  ASSERT_EQ(reference->height, shot.height);
  ASSERT_EQ(shot.pixels.size() * 4, reference->pixels.size()) << "the screen could not be read";
  const size_t different = different_pixels(shot, *reference);
  const auto allowed = static_cast<size_t>(kDifferentShare * shot.width * shot.height);
  if (different > allowed) save_as_bmp(shot, page + "-captured.bmp");
  EXPECT_LE(different, allowed) << "captured as " << page << "-captured.bmp";
}

using PageLook = InstallerTest;

TEST_F(PageLook, EachPageLooksLikeItsReferencePicture) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_tick(Unit::kAgreeToggle, true, 10s));
  expect_page_looks_like(setup, "first-page");

  ASSERT_TRUE(setup.click_until_hidden(Unit::kCustomInstallButton));
  ASSERT_TRUE(setup.wait_for_tick(Unit::kDesktopIconToggle, true, 10s));
  expect_page_looks_like(setup, "custom-page");

  ASSERT_TRUE(setup.click_until_hidden(Unit::kReturnButton));
  ASSERT_TRUE(setup.start_quick_install());
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  expect_page_looks_like(setup, "finish-page");
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
