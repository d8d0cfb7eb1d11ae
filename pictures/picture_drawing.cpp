#include "pictures/picture_drawing.h"

#include <algorithm>
#include <vector>

#include "frame/gdi_scopes.h"
#include "pictures/decode.h"

namespace pictures {
namespace {

// Icon images are a DIB (BITMAPINFOHEADER first) or a PNG; only the DIB kind names bits.
uint16_t icon_image_bits(const std::vector<uint8_t>& image) {
  if (image.size() < 16 || image[0] != 40) return 0;
  return uint16_t(image[14] | image[15] << 8);
}

// Cursors are made as icons too; the picture kind remembers which the file was.
frame::OwnedIcon make_icon(const Picture& p) {
  auto* bits = const_cast<PBYTE>(p.pixels.data());
  const auto size = DWORD(p.pixels.size());
  HICON icon = CreateIconFromResourceEx(bits, size, TRUE, 0x00030000, p.width, p.height, LR_DEFAULTCOLOR);
  // The older call copes with some images the newer one refuses, but not 16-bit ones.
  if (!icon && icon_image_bits(p.pixels) != 16) icon = CreateIconFromResource(bits, size, TRUE, 0x00030000);
  return frame::OwnedIcon(icon);
}

bool is_icon(PictureKind kind) { return kind == PictureKind::icon || kind == PictureKind::cursor; }

BITMAPINFOHEADER info_header(int width, int height, WORD bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = BI_RGB;
  return h;
}

HBITMAP from_dib(HDC dc, const BITMAPINFOHEADER& header, const void* bits) {
  return CreateDIBitmap(dc, &header, CBM_INIT, bits, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
}

// A 24-bit section, its rows padded to 4 bytes as GDI wants them (the picture keeps
// them packed): three bytes a pixel where a bitmap compatible with a 32-bit screen
// takes four, and no padded copy of a window-sized picture on the way.
frame::OwnedBitmap from_packed_bgr(HDC dc, const Picture& p) {
  const size_t row = size_t(p.width) * 3, stride = (size_t(p.width) * 24 + 31) / 32 * 4;
  BITMAPINFO info{};
  info.bmiHeader = info_header(p.width, p.height, 24);
  void* bits = nullptr;
  frame::OwnedBitmap section(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section) return {};
  auto* rows = static_cast<uint8_t*>(bits);
  for (size_t y = 0; y < size_t(p.height); ++y) std::copy_n(p.pixels.data() + y * row, row, rows + y * stride);
  return section;
}

frame::OwnedBitmap from_bgra(HDC dc, const Picture& p, COLORREF blend_colour) {
  std::vector<uint8_t> pixels = p.pixels;
  blend_alpha(pixels, blend_colour);
  return frame::OwnedBitmap(from_dib(dc, info_header(p.width, -p.height, 32), pixels.data()));
}

frame::OwnedBitmap from_dib_block(HDC dc, const Picture& p) {
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(p.pixels.data());
  return frame::OwnedBitmap(from_dib(dc, *header, p.pixels.data() + kDibPixelOffset));
}

// GIF frames are copied once more into a plain compatible bitmap of the same size.
frame::OwnedBitmap from_gif(HDC dc, const Picture& p) {
  frame::OwnedBitmap dib = from_dib_block(dc, p);
  frame::OwnedBitmap copy(CreateCompatibleBitmap(dc, p.width, p.height));
  if (!dib || !copy) return {};
  frame::MemoryDc from(dc, dib.get()), to(dc, copy.get());
  if (!from || !to || !BitBlt(to.get(), 0, 0, p.width, p.height, from.get(), 0, 0, SRCCOPY)) return {};
  return copy;
}

frame::OwnedBitmap make_bitmap(HDC dc, const Picture& p, COLORREF blend_colour) {
  switch (p.kind) {
    case PictureKind::gif:
      return from_gif(dc, p);
    case PictureKind::pcx8:
      return from_dib_block(dc, p);
    case PictureKind::pcx1:
      return frame::OwnedBitmap(CreateBitmap(p.width, p.height, 1, 1, p.pixels.data()));
    case PictureKind::png:
      return from_bgra(dc, p, blend_colour);
    case PictureKind::jpeg:
    case PictureKind::bmp:
      return from_packed_bgr(dc, p);
    default:
      return {};
  }
}

COLORREF resolve_colour(COLORREF colour) { return colour == kButtonFaceColour ? GetSysColor(COLOR_BTNFACE) : colour; }

void choose_stretch_mode(HDC target) {
  if (GetDeviceCaps(target, BITSPIXEL) > 16) {
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);  // HALFTONE needs the brush origin reset
  } else {
    SetStretchBltMode(target, COLORONCOLOR);
  }
}

// The picture, a mask of where it is not the transparent colour, and the picture
// again: the two inversions cancel wherever the mask kept the target.
bool draw_transparent(const DrawingContext& c, HDC picture_dc, RECT to, COLORREF transparent) {
  frame::OwnedBitmap mask(CreateBitmap(c.width(), c.height(), 1, 1, nullptr));
  frame::MemoryDc mask_dc(c.target(), mask.get());
  if (!mask || !mask_dc) return false;
  const COLORREF old_background = SetBkColor(picture_dc, transparent);
  BitBlt(mask_dc.get(), 0, 0, c.width(), c.height(), picture_dc, 0, 0, SRCCOPY);
  SetBkColor(picture_dc, old_background);
  const frame::SavedColours saved(c.target(), RGB(255, 255, 255), RGB(0, 0, 0));
  const int w = to.right - to.left, h = to.bottom - to.top;
  return StretchBlt(c.target(), to.left, to.top, w, h, picture_dc, 0, 0, c.width(), c.height(), SRCINVERT) &&
         StretchBlt(c.target(), to.left, to.top, w, h, mask_dc.get(), 0, 0, c.width(), c.height(), SRCAND) &&
         StretchBlt(c.target(), to.left, to.top, w, h, picture_dc, 0, 0, c.width(), c.height(), SRCINVERT);
}

}  // namespace

std::optional<LoadedPicture> load_picture(std::span<const uint8_t> bytes) {
  auto picture = decode_picture(bytes);
  if (!picture) return std::nullopt;
  LoadedPicture loaded{std::move(*picture), {}};
  if (is_icon(loaded.picture.kind)) {
    loaded.icon = make_icon(loaded.picture);
    if (!loaded.icon) return std::nullopt;
  }
  return loaded;
}

std::optional<DrawingContext> prepare_picture(HDC target, const LoadedPicture* loaded, COLORREF blend_colour) {
  if (!target || !loaded) return std::nullopt;
  if (is_icon(loaded->picture.kind)) return DrawingContext(target, *loaded, {});
  frame::OwnedBitmap bitmap = make_bitmap(target, loaded->picture, resolve_colour(blend_colour));
  if (!bitmap) return std::nullopt;
  return DrawingContext(target, *loaded, std::move(bitmap));
}

bool draw_picture(const DrawingContext& c, int x, int y, int width, int height, long raster_operation) {
  if (width == -1) width = c.width();
  if (height == -1) height = c.height();
  choose_stretch_mode(c.target());
  if (is_icon(c.kind())) return DrawIconEx(c.target(), x, y, c.icon(), width, height, 0, nullptr, DI_NORMAL);
  frame::MemoryDc picture_dc(c.target(), c.bitmap());
  if (!picture_dc) return false;
  if (raster_operation < 0)
    return draw_transparent(c, picture_dc.get(), {x, y, x + width, y + height}, COLORREF(-raster_operation));
  return StretchBlt(c.target(), x, y, width, height, picture_dc.get(), 0, 0, c.width(), c.height(),
                    DWORD(raster_operation));
}

bool draw_picture_at_once(const LoadedPicture& loaded, HDC target, int x, int y, int width, int height,
                          COLORREF blend_colour) {
  auto context = prepare_picture(target, &loaded, blend_colour);
  return context && draw_picture(*context, x, y, width, height, SRCCOPY);
}

RECT fit_and_centre(const RECT& client, int width, int height) {
  const double factor = std::min({1.0, static_cast<double>(client.right) / width,
                                  static_cast<double>(client.bottom) / height});
  const int shown_width = static_cast<int>(width * factor);
  const int shown_height = static_cast<int>(height * factor);
  const int left = (client.right - shown_width) / 2;
  const int top = (client.bottom - shown_height) / 2;
  return {left, top, left + shown_width, top + shown_height};
}

frame::OwnedBitmap bitmap_from_bytes(std::span<const uint8_t> bytes, COLORREF blend_colour) {
  auto loaded = load_picture(bytes);
  const frame::ScreenDc screen = frame::screen_dc();
  if (!loaded || !screen.get()) return {};
  auto context = prepare_picture(screen.get(), &*loaded, blend_colour);
  if (!context) return {};
  if (!is_icon(context->kind())) return context->take_bitmap();
  const int w = context->width(), h = context->height();
  frame::OwnedBitmap canvas(CreateCompatibleBitmap(screen.get(), w, h));
  frame::MemoryDc canvas_dc(screen.get(), canvas.get());
  if (!canvas || !canvas_dc) return {};
  PatBlt(canvas_dc.get(), 0, 0, w, h, WHITENESS);
  DrawIconEx(canvas_dc.get(), 0, 0, context->icon(), w, h, 0, nullptr, DI_NORMAL);
  return canvas;
}

}  // namespace pictures
