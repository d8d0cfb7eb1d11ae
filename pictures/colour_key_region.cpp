// The region of a bitmap that is not its key colour: one rectangle per run of other
// colours in each row, handed to GDI in batches.
#include <algorithm>
#include <vector>

#include "frame/gdi_scopes.h"
#include "pictures/picture_drawing.h"

namespace pictures {
namespace {

constexpr size_t kRectangleGrowth = 100;
// ExtCreateRegion slows down sharply with long rectangle lists; batches keep it fast.
constexpr size_t kRectanglesPerBatch = 2000;

class RegionBuilder {
 public:
  RegionBuilder() : result_(CreateRectRgn(0, 0, 0, 0)) { rectangles_.reserve(kRectangleGrowth); }

  bool add(LONG left, LONG top, LONG right) {
    if (rectangles_.size() == rectangles_.capacity()) rectangles_.reserve(rectangles_.size() + kRectangleGrowth);
    rectangles_.push_back({left, top, right, top + 1});
    bounds_ = rectangles_.size() == 1 && batches_ == 0 ? rectangles_.back() : united(bounds_, rectangles_.back());
    return rectangles_.size() < kRectanglesPerBatch || flush();
  }

  // Nothing when GDI cannot make a region.
  frame::OwnedRegion finish() {
    if (!result_ || !flush()) return {};
    return std::move(result_);
  }

 private:
  static RECT united(RECT a, RECT b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
  }

  bool flush() {
    if (rectangles_.empty()) return true;
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rectangles_.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    *header = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(rectangles_.size()),
               DWORD(rectangles_.size() * sizeof(RECT)), bounds_};
    std::copy(rectangles_.begin(), rectangles_.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    frame::OwnedRegion batch(ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
    rectangles_.clear();
    ++batches_;
    return batch && CombineRgn(result_.get(), result_.get(), batch.get(), RGN_OR) != ERROR;
  }

  frame::OwnedRegion result_;
  std::vector<RECT> rectangles_;
  RECT bounds_{};
  size_t batches_ = 0;
};

// How the key looks once the bitmap's own format has stored it: set it into a
// pixel, read it back and put the pixel back.
COLORREF realised_key(HDC source, COLORREF key) {
  const COLORREF kept = GetPixel(source, 1, 1);
  SetPixel(source, 1, 1, key);
  const COLORREF realised = GetPixel(source, 1, 1);
  SetPixel(source, 1, 1, kept);
  return realised;
}

struct Section {
  frame::OwnedBitmap bitmap;
  const uint32_t* pixels = nullptr;  // 0x00RRGGBB, rows top-down
};

Section make_section(HDC dc, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  Section s{frame::OwnedBitmap(
                CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)),
            nullptr};
  s.pixels = static_cast<const uint32_t*>(bits);
  return s;
}

bool add_row_runs(RegionBuilder& builder, const uint32_t* row, LONG width, LONG y, uint32_t key) {
  for (LONG x = 0; x < width;) {
    if ((row[x] & 0xFFFFFF) == key) {
      ++x;
      continue;
    }
    const LONG start = x;
    while (x < width && (row[x] & 0xFFFFFF) != key) ++x;
    if (!builder.add(start, y, x)) return false;
  }
  return true;
}

}  // namespace

frame::OwnedRegion region_from_colour_key(HBITMAP bitmap, COLORREF key) {
  BITMAP info{};
  if (!bitmap || !GetObject(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
  const LONG width = info.bmWidth, height = info.bmHeight;
  const frame::ScreenDc screen = frame::screen_dc();
  Section section = make_section(screen.get(), width, height);
  frame::MemoryDc source(screen.get(), bitmap), copy(screen.get(), section.bitmap.get());
  if (!section.bitmap || !source || !copy || !BitBlt(copy.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY))
    return {};
  GdiFlush();  // the section's bits are read directly below
  const COLORREF realised = realised_key(source.get(), key);
  const uint32_t wanted = uint32_t(GetRValue(realised)) << 16 | GetGValue(realised) << 8 | GetBValue(realised);
  RegionBuilder builder;
  for (LONG y = 0; y < height; ++y)
    if (!add_row_runs(builder, section.pixels + size_t(y) * size_t(width), width, y, wanted)) return {};
  return builder.finish();
}

}  // namespace pictures
