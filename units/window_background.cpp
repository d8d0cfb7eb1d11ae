// The window's background: its picture in one of four modes, and its colour over
// whatever the picture leaves uncovered.

#include "frame/gdi_scopes.h"
#include "units/window_kind.h"

namespace units {
namespace {

enum PictureMode : uint32_t { kTopLeft = 0, kTiled = 1, kCentredOrFitted = 2, kStretched = 3 };

RECT client_rect_of(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  return client;
}

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

const pictures::LoadedPicture* WindowUnit::background_picture() {
  if (!background_decoded_) {
    decoded_background_ = pictures::load_picture(properties_.background_picture);
    background_decoded_ = true;
  }
  return decoded_background_ ? &*decoded_background_ : nullptr;
}

const pictures::DrawingContext* WindowUnit::prepared_background(HDC dc) {
  if (prepared_background_) {
    prepared_background_->retarget(dc);
    return &*prepared_background_;
  }
  prepared_background_ = pictures::prepare_picture(dc, background_picture(), properties_.background_colour);
  if (!prepared_background_) return nullptr;
  // The bitmap holds the pixels now; an icon's handle stays with the decoded picture.
  // Moved over by an empty vector, not assigned `{}`, which would keep the storage.
  decoded_background_->picture.pixels = std::vector<uint8_t>();
  return &*prepared_background_;
}

// The prepared picture goes first: it refers to the decoded one's icon.
void WindowUnit::drop_background_picture() {
  prepared_background_.reset();
  decoded_background_.reset();
  background_decoded_ = false;
}

// Draws the picture and returns the rectangle it covered; the whole client area for
// the modes that leave nothing to fill, nothing when there is no picture.
std::optional<RECT> WindowUnit::draw_background_picture(HDC dc, const RECT& clip) {
  if (properties_.background_picture.empty()) return std::nullopt;
  const pictures::DrawingContext* context = prepared_background(dc);
  if (context == nullptr) return std::nullopt;
  const RECT client = client_rect_of(hwnd_);
  switch (properties_.picture_mode) {
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

void WindowUnit::on_paint() {
  const frame::PaintScope paint(hwnd_);
  if (!IsRectEmpty(&paint.area())) paint_background(paint.dc(), paint.area());
}

void WindowUnit::paint_background(HDC dc, const RECT& area) {
  const frame::OwnedRegion uncovered(CreateRectRgnIndirect(&area));
  if (const auto covered = draw_background_picture(dc, area)) {
    const frame::OwnedRegion drawn(CreateRectRgnIndirect(&*covered));
    CombineRgn(uncovered.get(), uncovered.get(), drawn.get(), RGN_DIFF);
  }
  const frame::OwnedBrush brush(CreateSolidBrush(background_colour()));
  FillRgn(dc, uncovered.get(), brush.get());
}

}  // namespace units
