// Drawing decoded pictures with GDI: a drawing context prepared per device context,
// drawn opaque, with a raster operation or with one transparent colour, and
// released when it goes out of scope.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

#include "frame/owned_handle.h"
#include "pictures/picture.h"

namespace pictures {

// Stored colours use this value for "the system's button face".
constexpr COLORREF kButtonFaceColour = 0xFF000000;

// A decoded picture with the icon handle icons and cursors are drawn through.
struct LoadedPicture {
  Picture picture;
  frame::OwnedIcon icon;
};

// Decodes `bytes`; icons and cursors also get their handle, and without one they
// are no picture. Nothing when the bytes are not a picture the decoders take.
std::optional<LoadedPicture> load_picture(std::span<const uint8_t> bytes);

// What one paint needs: the GDI form of a picture for one device context. Owns the
// bitmap; borrows the icon and the device context.
class DrawingContext {
 public:
  DrawingContext(HDC target, const LoadedPicture& loaded, frame::OwnedBitmap bitmap)
      : target_(target),
        kind_(loaded.picture.kind),
        width_(loaded.picture.width),
        height_(loaded.picture.height),
        icon_(loaded.icon.get()),
        bitmap_(std::move(bitmap)) {}

  HDC target() const { return target_; }
  PictureKind kind() const { return kind_; }
  int width() const { return width_; }
  int height() const { return height_; }
  HICON icon() const { return icon_; }
  HBITMAP bitmap() const { return bitmap_.get(); }
  frame::OwnedBitmap take_bitmap() { return std::move(bitmap_); }
  // The same prepared picture, drawn from now on into another device context of
  // the same display: a picture painted again and again is prepared once.
  void retarget(HDC target) { target_ = target; }

 private:
  HDC target_;
  PictureKind kind_;
  int width_, height_;
  HICON icon_;
  frame::OwnedBitmap bitmap_;
};

// Nothing without a picture or a device context, or when GDI refuses the bitmap.
// The blend colour (0x00BBGGRR or kButtonFaceColour) is what PNG alpha mixes with.
std::optional<DrawingContext> prepare_picture(HDC target, const LoadedPicture* loaded, COLORREF blend_colour);

// Draws at (x, y) in width x height, -1 meaning the picture's own size. A negative
// raster operation draws with the colour -raster_operation left out.
bool draw_picture(const DrawingContext& context, int x, int y, int width, int height, long raster_operation);

// Where a picture of `width` x `height` goes in a client area: centred, and scaled
// down keeping its aspect ratio in a client area smaller than it in either
// dimension. `client` starts at 0, 0 (GetClientRect).
RECT fit_and_centre(const RECT& client, int width, int height);

// Prepare, draw with SRCCOPY and release.
bool draw_picture_at_once(const LoadedPicture& loaded, HDC target, int x, int y, int width, int height,
                          COLORREF blend_colour);

// The picture in `bytes` as a bitmap for the screen; icons and cursors are drawn on
// white at their own size. An empty handle when the bytes are no picture.
frame::OwnedBitmap bitmap_from_bytes(std::span<const uint8_t> bytes, COLORREF blend_colour);

// The part of `bitmap` whose colour is not `key` (it is usually handed on to
// SetWindowRgn). Empty when every pixel is the key; no region when the bitmap
// cannot be read.
frame::OwnedRegion region_from_colour_key(HBITMAP bitmap, COLORREF key);

}  // namespace pictures
