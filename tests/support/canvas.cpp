#include "canvas.h"

namespace support {

namespace {

// A section's pixels are B, G, R, unused in memory: 0x00RRGGBB read as a word.
uint32_t section_pixel(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }
COLORREF colour_of(uint32_t pixel) { return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF); }

}  // namespace

Canvas::Canvas(int width, int height, COLORREF fill)
    : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc_ || !bitmap_) return;
  pixels_ = static_cast<uint32_t*>(bits);
  selected_ = frame::SelectGuard(dc_.get(), bitmap_.get());
  for (size_t i = 0; i < size_t(width) * size_t(height); ++i) pixels_[i] = section_pixel(fill);
}

COLORREF Canvas::at(int x, int y) const {
  GdiFlush();
  return colour_of(pixels_[size_t(y) * size_t(width_) + size_t(x)]);
}

std::vector<COLORREF> Canvas::pixels() const {
  GdiFlush();
  std::vector<COLORREF> result(size_t(width_) * size_t(height_));
  for (size_t i = 0; i < result.size(); ++i) result[i] = colour_of(pixels_[i]);
  return result;
}

}  // namespace support
