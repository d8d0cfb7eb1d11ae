#include "units/window_background_picture.h"

namespace units {
namespace {

enum PictureMode : uint32_t { kTopLeft = 0, kTiled = 1, kCentredOrFitted = 2, kStretched = 3 };

void draw_tiles(const pictures::DrawingContext& context, const RECT& client, const RECT& clip) {
  const int width = context.width();
  const int height = context.height();
  for (int top = 0; top < client.bottom; top += height) {
    for (int left = 0; left < client.right; left += width) {
      const RECT tile{left, top, left + width, top + height};
      RECT overlap;
      if (IntersectRect(&overlap, &tile, &clip)) pictures::draw_picture(context, left, top, -1, -1, SRCCOPY);
    }
  }
}

}  // namespace

const pictures::LoadedPicture* BackgroundPicture::decoded(const WindowBlock& window) {
  if (!decode_tried_) {
    decoded_ = pictures::load_picture(window.background_picture);
    decode_tried_ = true;
  }
  return decoded_ ? &*decoded_ : nullptr;
}

const pictures::DrawingContext* BackgroundPicture::prepared(HDC dc, const WindowBlock& window) {
  if (prepared_) {
    prepared_->retarget(dc);
    return &*prepared_;
  }
  prepared_ = pictures::prepare_picture(dc, decoded(window), window.background_colour);
  if (!prepared_) return nullptr;
  // The bitmap holds the pixels now; an icon's handle stays with the decoded picture.
  // Moved over by an empty vector, not assigned `{}`, which would keep the storage.
  decoded_->picture.pixels = std::vector<uint8_t>();
  return &*prepared_;
}

// The prepared picture goes first: it refers to the decoded one's icon.
void BackgroundPicture::drop() {
  prepared_.reset();
  decoded_.reset();
  decode_tried_ = false;
}

std::optional<RECT> BackgroundPicture::draw(HDC dc, const RECT& client, const RECT& clip, const WindowBlock& window) {
  if (window.background_picture.empty()) return std::nullopt;
  const pictures::DrawingContext* context = prepared(dc, window);
  if (context == nullptr) return std::nullopt;
  switch (window.picture_mode) {
    case kTopLeft:
      pictures::draw_picture(*context, 0, 0, -1, -1, SRCCOPY);
      return RECT{0, 0, context->width(), context->height()};
    case kTiled:
      draw_tiles(*context, client, clip);
      return client;
    case kCentredOrFitted: {
      const RECT drawn = pictures::fit_and_centre(client, context->width(), context->height());
      pictures::draw_picture(*context, drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top,
                             SRCCOPY);
      return drawn;
    }
    default:
      pictures::draw_picture(*context, 0, 0, client.right, client.bottom, SRCCOPY);
      return client;
  }
}

}  // namespace units
