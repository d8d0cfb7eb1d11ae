// The installer's pages as they appear on the screen, compared with the reference
// pictures of them that the README shows (made by `make run`). A page that drifts
// from its picture fails here, and its capture is left beside the test as a BMP.
#include <fstream>

#include "installer_fixture.h"
#include "pictures/decode.h"
#include "pictures/gdi_scopes.h"
#include "pictures/picture_drawing.h"

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
  std::vector<uint8_t> bgra;  // top-down
};

// What the screen shows inside `window`, read through a top-down 32-bit DIB section.
Screenshot capture(HWND window) {
  const RECT rect = driver::window_rect(window);
  Screenshot shot{rect.right - rect.left, rect.bottom - rect.top, {}};
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  const pictures::ScreenDc screen;
  const pictures::OwnedBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const pictures::MemoryDc memory(screen.get(), bitmap.get());
  if (!memory || !BitBlt(memory.get(), 0, 0, shot.width, shot.height, screen.get(), rect.left, rect.top, SRCCOPY)) {
    return shot;
  }
  GdiFlush();
  const auto* pixels = static_cast<const uint8_t*>(bits);
  shot.bgra.assign(pixels, pixels + static_cast<size_t>(shot.width) * shot.height * 4);
  return shot;
}

void save_as_bmp(const Screenshot& shot, const std::string& path) {
  BITMAPINFOHEADER header = {sizeof header, shot.width, -shot.height, 1, 32, BI_RGB};
  BITMAPFILEHEADER file_header = {};
  file_header.bfType = 0x4D42;
  file_header.bfOffBits = sizeof file_header + sizeof header;
  file_header.bfSize = file_header.bfOffBits + static_cast<DWORD>(shot.bgra.size());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(&file_header), sizeof file_header);
  file.write(reinterpret_cast<const char*>(&header), sizeof header);
  file.write(reinterpret_cast<const char*>(shot.bgra.data()), static_cast<std::streamsize>(shot.bgra.size()));
}

// How many pixels of the capture differ from the reference picture (PNG, B G R A).
size_t different_pixels(const Screenshot& shot, const pictures::Picture& reference) {
  size_t different = 0;
  for (size_t pixel = 0; pixel < static_cast<size_t>(shot.width) * shot.height; ++pixel) {
    for (size_t channel = 0; channel < 3; ++channel) {
      const int delta = shot.bgra[pixel * 4 + channel] - reference.pixels[pixel * 4 + channel];
      if (delta > kChannelTolerance || delta < -kChannelTolerance) {
        ++different;
        break;
      }
    }
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
  ASSERT_EQ(shot.bgra.size(), reference->pixels.size()) << "the screen could not be read";
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
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.message_box_report();
  expect_page_looks_like(setup, "finish-page");
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
