#pragma once
// A window's background picture: decoded on first paint and made ready for the
// screen once, then drawn in one of four modes at every paint.
#include <windows.h>

#include <optional>

#include "pictures/picture_drawing.h"
#include "units/window_block.h"

namespace units {

class BackgroundPicture {
 public:
  // Draws the window's picture into `dc` in its picture mode, over a client area of
  // `client` (from GetClientRect), touching what meets `clip`. Returns the rectangle
  // it covered: the whole client area for the modes that leave nothing to fill, and
  // nothing when there is no picture or its bytes are none the decoders take.
  std::optional<RECT> draw(HDC dc, const RECT& client, const RECT& clip, const WindowBlock& window);
  // Forgets the decoded and the prepared picture, for new picture bytes or a new
  // colour to blend PNG transparency with.
  void drop();

 private:
  const pictures::LoadedPicture* decoded(const WindowBlock& window);
  const pictures::DrawingContext* prepared(HDC dc, const WindowBlock& window);

  // Decoded on first paint; tried once until dropped, even when nothing came of it.
  std::optional<pictures::LoadedPicture> decoded_;
  bool decode_tried_ = false;
  // The decoded picture made ready for the screen on first paint and kept in place
  // of the decoded pixels: making it is most of a paint's cost, and every text a
  // label over the window shows repaints the window under it.
  std::optional<pictures::DrawingContext> prepared_;
};

}  // namespace units
