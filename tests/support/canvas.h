#pragma once
// A canvas for tests that draw and read pixels back: a section of our own whose
// pixels can be read directly. The screen's and a bitmap's device contexts are the
// product's own owners (frame/owned_handle.h, frame/gdi_scopes.h).
#include <windows.h>

#include <cstdint>
#include <vector>

#include "frame/gdi_scopes.h"
#include "frame/owned_handle.h"

namespace support {

// The pure colours the pixel tests' fixtures are drawn in.
namespace colours {
inline constexpr COLORREF kRed = RGB(0xFF, 0x00, 0x00), kLime = RGB(0x00, 0xFF, 0x00), kBlue = RGB(0x00, 0x00, 0xFF),
                          kYellow = RGB(0xFF, 0xFF, 0x00), kWhite = RGB(0xFF, 0xFF, 0xFF), kBlack = RGB(0, 0, 0);
}  // namespace colours

// A 32-bit top-down section, every pixel `fill` to begin with, selected into a memory
// device context: drawing code paints into dc() and the test reads what landed.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(0, 0, 0));

  // Whether the section was made and selected.
  explicit operator bool() const { return pixels_ != nullptr && selected_; }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  // Drawing through GDI may still be queued; both flush it first.
  COLORREF at(int x, int y) const;
  // Every pixel, the top row first.
  std::vector<COLORREF> pixels() const;

 private:
  int width_;
  int height_;
  frame::OwnedDc dc_;
  frame::OwnedBitmap bitmap_;
  uint32_t* pixels_ = nullptr;
  frame::SelectGuard selected_{nullptr, nullptr};  // declared last: the section goes back out first
};

}  // namespace support
