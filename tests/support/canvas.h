#pragma once
// Device contexts for tests that draw and read pixels back: the screen's, borrowed;
// a canvas of our own whose pixels can be read directly; and a memory context that
// holds a bitmap selected for as long as it lives.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "frame/owned_handle.h"

namespace support {

// The pure colours the pixel tests' fixtures are drawn in.
namespace colours {
inline constexpr COLORREF kRed = RGB(0xFF, 0x00, 0x00), kLime = RGB(0x00, 0xFF, 0x00), kBlue = RGB(0x00, 0x00, 0xFF),
                          kYellow = RGB(0xFF, 0xFF, 0x00), kWhite = RGB(0xFF, 0xFF, 0xFF), kBlack = RGB(0, 0, 0);
}  // namespace colours

// The screen's device context, released on leaving.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// `bitmap` selected into a memory device context; the context's own bitmap goes
// back before the context is deleted, so `bitmap` can be used again afterwards.
class BitmapDc {
 public:
  explicit BitmapDc(HBITMAP bitmap);
  ~BitmapDc();
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;

  HDC get() const { return dc_.get(); }
  explicit operator bool() const { return previous_ != nullptr; }

 private:
  frame::OwnedDc dc_;
  HGDIOBJ previous_ = nullptr;
};

// A 32-bit top-down section, every pixel `fill` to begin with, selected into a memory
// device context: drawing code paints into dc() and the test reads what landed.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(0, 0, 0));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Whether the section was made and selected.
  explicit operator bool() const { return pixels_ != nullptr && previous_ != nullptr; }
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
  frame::OwnedHandle<HBITMAP, frame::DeleteGdiObject> bitmap_;
  uint32_t* pixels_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace support
