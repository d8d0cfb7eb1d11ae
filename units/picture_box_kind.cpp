// The `PicBox` kind: one picture on a background colour. Its width is what the
// installer grows for the progress bar: in display mode 0 the picture is drawn at
// its own size and clipped, so a wider box reveals more of it from the left.
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/gdi_scopes.h"
#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "pictures/picture_drawing.h"
#include "units/accessible_unit.h"
#include "units/kind_adapter.h"
#include "units/native_window.h"
#include "units/picture_box_animation.h"
#include "units/picture_box_block.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

// A device context's clipping (and the rest of its state), put back on leaving.
class ClipScope {
 public:
  explicit ClipScope(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~ClipScope() { RestoreDC(dc_, saved_); }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;

 private:
  HDC dc_;
  int saved_;
};

constexpr wchar_t kPictureBoxClassName[] = L"_QV_PicBox";

enum DisplayMode : uint32_t { kNaturalSize = 0, kStretched = 1, kCentredAndShrunk = 2 };

// Extended styles of the border styles 0 to 5.
constexpr DWORD kBorderExStyles[] = {
    0, WS_EX_CLIENTEDGE, WS_EX_DLGMODALFRAME, WS_EX_STATICEDGE, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0};

class PictureBox : public KindUnit<PictureBoxBlock, PictureBoxEffect, kPictureBoxProperties, decode_picture_box_block>,
                   public AccessibleSource {
 public:
  friend LRESULT CALLBACK unit_window_procedure<PictureBox>(HWND, UINT, WPARAM, LPARAM);

  PictureBox(PictureBoxBlock properties, const frame::CreateParams&)
      : KindUnit(std::move(properties)), accessible_(*this) {}

  // A graphic, unless the program presents it as a progress bar: then it is as far
  // on as the part of its picture it shows.
  AccessibleLook accessible_look() const override {
    if (role_ != ROLE_SYSTEM_PROGRESSBAR) return {ROLE_SYSTEM_GRAPHIC, STATE_SYSTEM_READONLY, {}, {}};
    return {ROLE_SYSTEM_PROGRESSBAR, STATE_SYSTEM_READONLY, percent_text(percent_shown()), {}};
  }

  bool create_native_window(const frame::CreateParams& params) {
    if (!register_unit_class(kPictureBoxClassName, unit_window_procedure<PictureBox>)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style | border_style();
    if (CreateWindowExW(border_ex_style(), kPictureBoxClassName, L"", style, params.left, params.top, params.width,
                        params.height, params.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)),
                        GetModuleHandleA(nullptr), this) == nullptr) {
      return false;
    }
    load_picture();
    return true;
  }

  void apply(Effect effect, int) {
    switch (effect) {
      case Effect::none:
        return;
      case Effect::border:
        return apply_border();
      case Effect::colour:
        if (animation_) animation_->set_background(background_colour());
        InvalidateRect(hwnd_, nullptr, TRUE);
        return;
      case Effect::picture:
        load_picture();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
      case Effect::display_mode:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
      case Effect::animation:
        restart_animation();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
  }

  COLORREF background_colour() const override { return stored_colour(properties_.background_colour); }

 private:
  DWORD border_style() const { return properties_.border_style == 5 ? WS_BORDER : 0; }
  DWORD border_ex_style() const { return kBorderExStyles[std::min(properties_.border_style, 5u)]; }

  void apply_border() {
    const LONG style = GetWindowLongA(hwnd_, GWL_STYLE) & ~WS_BORDER;
    SetWindowLongA(hwnd_, GWL_STYLE, style | static_cast<LONG>(border_style()));
    SetWindowLongA(hwnd_, GWL_EXSTYLE, static_cast<LONG>(border_ex_style()));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

  // The worker borrows the frames of the picture on show, so it stops before they go.
  void load_picture() {
    animation_.reset();
    picture_.reset();
    if (!properties_.picture.empty()) picture_ = pictures::load_picture(properties_.picture);
    restart_animation();
  }

  // Plays a GIF of more than one frame from its first, when animate is on.
  void restart_animation() {
    animation_.reset();
    if (!properties_.animate || !picture_ || hwnd_ == nullptr) return;
    const pictures::Picture& picture = picture_->picture;
    if (picture.kind != pictures::PictureKind::gif || picture.animation.size() < 2) return;
    animation_ = GifAnimation::start(hwnd_, picture.animation, picture.width, picture.height, background_colour(),
                                     picture.plays);
  }

  // Digits by hand: the C library's wide formatting would be new imports.
  static std::wstring percent_text(int percent) {
    std::wstring text(1, L'%');
    do {
      text.insert(text.begin(), static_cast<wchar_t>(L'0' + percent % 10));
      percent /= 10;
    } while (percent > 0);
    return text;
  }

  int percent_shown() const {
    if (!picture_ || picture_->picture.width <= 0) return 0;
    RECT client;
    GetClientRect(hwnd_, &client);
    return std::clamp(MulDiv(client.right, 100, picture_->picture.width), 0, 100);
  }

  // Where the picture goes in the client area for the display mode.
  RECT picture_rect(const RECT& client) const {
    const int width = picture_->picture.width;
    const int height = picture_->picture.height;
    if (properties_.display_mode == kStretched) return client;
    if (properties_.display_mode == kNaturalSize) return {0, 0, width, height};
    return pictures::fit_and_centre(client, width, height);
  }

  void fill_background(HDC dc, const RECT& client) const {
    const frame::OwnedBrush brush(CreateSolidBrush(background_colour()));
    FillRect(dc, &client, brush.get());
  }

  // An animation's frame rectangle is never filled: the frame covers it, and while
  // the worker draws a new one the old one stays until the worker's repaint.
  void paint_animation(HDC dc, const RECT& client) const {
    const RECT frame_rect = picture_rect(client);
    {
      const ClipScope clip(dc);
      ExcludeClipRect(dc, frame_rect.left, frame_rect.top, frame_rect.right, frame_rect.bottom);
      fill_background(dc, client);
    }
    animation_->draw_current(dc, frame_rect);
  }

  // The one paint routine, for the screen and for any context the frame hands in.
  void paint_into(HDC dc) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (animation_) return paint_animation(dc, client);
    fill_background(dc, client);
    if (!picture_) return;
    const RECT target = picture_rect(client);
    pictures::draw_picture_at_once(*picture_, dc, target.left, target.top, target.right - target.left,
                                   target.bottom - target.top, properties_.background_colour);
  }

  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case frame::kMsgPaintInto:
        paint_into(reinterpret_cast<HDC>(wparam));
        return frame::kPaintIntoAnswer;
      case WM_DESTROY:
        animation_.reset();
        break;
      case frame::kMsgAccessibleRole:
        role_ = static_cast<LONG>(wparam);
        return 0;
      case WM_GETOBJECT:
        return accessible_.answer_get_object(hwnd_, wparam, lparam);
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }

  std::optional<pictures::LoadedPicture> picture_;
  // After the picture, so it is stopped before the frames it borrows are freed.
  std::unique_ptr<GifAnimation> animation_;
  LONG role_ = ROLE_SYSTEM_GRAPHIC;
  AccessibleClient accessible_;
};

}  // namespace

const frame::KindDescriptor kPictureBoxKind = KindAdapter<PictureBox, kPictureBoxNames>::descriptor();

}  // namespace units
