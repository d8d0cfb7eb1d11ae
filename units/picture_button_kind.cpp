// The `PicBtn` kind: a button drawn entirely from up to four pictures (normal,
// hover, pressed, disabled), either a push button or a toggle, raising event 0
// after a completed press by the mouse, Space or Enter. Its tag is its name.
#include <windows.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "frame/events.h"
#include "frame/frame_services.h"
#include "frame/gdi_scopes.h"
#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "pictures/picture_drawing.h"
#include "units/accessible_unit.h"
#include "units/kind_adapter.h"
#include "units/native_window.h"
#include "units/picture_button_block.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr wchar_t kButtonClassName[] = L"_QV_RgnButton";
constexpr int kEventClick = 0;
// The focus cue: a light outline one pixel inside the edge, over any artwork.
constexpr COLORREF kFocusCueColour = RGB(0xFF, 0xFF, 0xFF);
constexpr LPARAM kKeyRepeated = 0x40000000;

// The picture slots follow the normal one in PictureSlot order.
constexpr int kNormalPictureProperty = slot_of(kPictureButtonProperties, "normal");

enum VisualState : int { kNormal = 0, kHover = 1, kPressed = 2 };

using frame::OwnedBitmap;

class PictureButton
    : public KindUnit<PictureButtonBlock, PictureButtonEffect, kPictureButtonProperties, decode_picture_button_block>,
      public AccessibleSource {
 public:
  friend LRESULT CALLBACK unit_window_procedure<PictureButton>(HWND, UINT, WPARAM, LPARAM);

  PictureButton(PictureButtonBlock properties, const frame::CreateParams& params)
      : KindUnit(std::move(properties)), window_id_(params.window_id), unit_id_(params.unit_id), accessible_(*this) {}

  // A toggle is a check box, ticked as its checked state says; its name is its tag.
  AccessibleLook accessible_look() const override {
    if (is_toggle()) {
      const bool checked = properties_.checked;
      return {ROLE_SYSTEM_CHECKBUTTON, checked ? STATE_SYSTEM_CHECKED : 0, {}, checked ? L"取消选中" : L"选中"};
    }
    return {ROLE_SYSTEM_PUSHBUTTON, state_ == kPressed ? STATE_SYSTEM_PRESSED : 0, {}, L"按下"};
  }

  bool create_native_window(const frame::CreateParams& params) {
    if (!register_unit_class(kButtonClassName, unit_window_procedure<PictureButton>)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style;
    if (CreateWindowExW(0, kButtonClassName, L"", style, params.left, params.top, params.width, params.height,
                        params.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)),
                        GetModuleHandleA(nullptr), this) == nullptr) {
      return false;
    }
    blend_colour_ = parent_background_colour(params.parent);
    state_ = is_toggle() && properties_.checked ? kPressed : kNormal;
    if (properties_.colour_key != kNoColourKey) update_region();
    return true;
  }

  // Enter presses the focused button before the window's keyboard rules see it.
  bool pre_translate_message(MSG& message) override {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || message.hwnd != hwnd_) return false;
    if ((message.lParam & kKeyRepeated) == 0 && IsWindowEnabled(hwnd_)) complete_press();
    return true;
  }

  void apply(Effect effect, int slot) {
    switch (effect) {
      case Effect::none:
        return;
      case Effect::checked:
        if (is_toggle()) set_state(properties_.checked ? kPressed : kNormal);
        return;
      case Effect::picture:
        return picture_written(static_cast<size_t>(slot - kNormalPictureProperty));
      case Effect::colour_key:
        return refresh_look();
    }
  }

 private:
  static COLORREF parent_background_colour(HWND parent) {
    const auto* window =
        reinterpret_cast<const frame::UnitObject*>(SendMessageA(parent, frame::kMsgObjectOfWindow, 0, 0));
    return window != nullptr ? window->background_colour() : GetSysColor(COLOR_BTNFACE);
  }

  bool is_toggle() const { return properties_.button_type == 1; }

  // A face is made from its picture the first time it is shown: most hover,
  // pressed and disabled faces are never needed, and each one costs a screen
  // device context and a bitmap before the window can first appear. Null when
  // the slot holds no picture that decodes.
  HBITMAP face(size_t slot) const {
    if (!faces_[slot]) faces_[slot] = pictures::bitmap_from_bytes(properties_.pictures[slot], blend_colour_);
    return faces_[slot]->get();
  }

  // The normal face shows through any empty one, so a new one is drawn at once, as
  // is the face of the state the button is in.
  void picture_written(size_t slot) {
    faces_[slot].reset();
    if (slot == kNormalPicture || slot == slot_of_state()) refresh_look();
  }

  size_t slot_of_state() const {
    if (!IsWindowEnabled(hwnd_)) return kDisabledPicture;
    if (state_ == kHover) return kHoverPicture;
    if (state_ == kPressed) return kPressedPicture;
    return kNormalPicture;
  }

  // The disabled picture while disabled, else the hover or pressed picture for
  // those states, else the normal one; an empty slot falls back to the normal one.
  size_t shown_slot() const {
    if (!IsWindowEnabled(hwnd_) && face(kDisabledPicture)) return kDisabledPicture;
    if (state_ == kHover && face(kHoverPicture)) return kHoverPicture;
    if (state_ == kPressed && face(kPressedPicture)) return kPressedPicture;
    return kNormalPicture;
  }

  void refresh_look() {
    update_region();
    UpdateWindow(hwnd_);
  }

  void update_region() {
    HBITMAP shown = face(shown_slot());
    frame::OwnedRegion region;
    if (properties_.colour_key != kNoColourKey && shown != nullptr) {
      region = pictures::region_from_colour_key(shown, properties_.colour_key);
    }
    // The window owns the region once it is set.
    if (SetWindowRgn(hwnd_, region.get(), TRUE)) region.release();
    InvalidateRect(hwnd_, nullptr, TRUE);
  }

  void set_state(VisualState state) {
    if (state_ == state) return;
    state_ = state;
    repaint_now();
  }

  // Drawn off screen first, so the button never flickers through black.
  void paint_into(HDC dc) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    OwnedBitmap canvas(CreateCompatibleBitmap(dc, client.right, client.bottom));
    frame::MemoryDc memory(dc, canvas.get());
    if (!canvas || !memory) return;
    PatBlt(memory.get(), 0, 0, client.right, client.bottom, BLACKNESS);
    if (HBITMAP shown = face(shown_slot())) copy_bitmap(memory.get(), shown);
    if (focus_cue_shown()) draw_focus_cue(memory.get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }

  // Only after the keyboard has been used in the window, by Windows' convention:
  // someone who only uses the mouse sees the pages as they always were.
  bool focus_cue_shown() const {
    if (GetFocus() != hwnd_) return false;
    const auto ui_state = SendMessageA(GetAncestor(hwnd_, GA_ROOT), WM_QUERYUISTATE, 0, 0);
    return (ui_state & UISF_HIDEFOCUS) == 0;
  }

  static void draw_focus_cue(HDC dc, RECT client) {
    InflateRect(&client, -1, -1);
    const frame::OwnedBrush brush(CreateSolidBrush(kFocusCueColour));
    if (brush) FrameRect(dc, &client, brush.get());
  }

  void repaint_now() {
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
  }

  static void copy_bitmap(HDC target, HBITMAP bitmap) {
    BITMAP size;
    if (GetObjectA(bitmap, sizeof size, &size) == 0) return;
    frame::MemoryDc source(target, bitmap);
    if (source) BitBlt(target, 0, 0, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
  }

  bool point_inside(LPARAM lparam) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    return PtInRect(&client, point) != 0;
  }

  void on_left_down(LPARAM lparam) {
    if (!IsWindowEnabled(hwnd_) || !point_inside(lparam) || is_toggle()) return;
    SetCapture(hwnd_);
    set_state(kPressed);
  }

  void on_left_up(LPARAM lparam) {
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (!point_inside(lparam) || !IsWindowEnabled(hwnd_)) {
      if (!is_toggle()) set_state(kNormal);
      return;
    }
    complete_press();
  }

  // A toggle flips; a push button comes back up. Either way the click follows.
  void complete_press() {
    if (is_toggle()) {
      properties_.checked = !properties_.checked;
      set_state(properties_.checked ? kPressed : kNormal);
    } else {
      set_state(kNormal);
    }
    raise_click();
  }

  // Space works as a Windows button's does: down shows the press, up completes it.
  void on_space_down(LPARAM lparam) {
    if ((lparam & kKeyRepeated) != 0 || !IsWindowEnabled(hwnd_)) return;
    space_held_ = true;
    if (!is_toggle()) set_state(kPressed);
  }

  void on_space_up() {
    if (!std::exchange(space_held_, false)) return;
    complete_press();
  }

  void on_kill_focus() {
    if (std::exchange(space_held_, false) && !is_toggle()) set_state(kNormal);
    repaint_now();
  }

  // Screen readers and the window's keyboard rules read the name from the window text.
  void take_name_from_tag() {
    frame::WindowRecord* window = frame::find_window(window_id_);
    const auto index = window != nullptr ? window->find_record(unit_id_) : std::nullopt;
    if (index) set_window_text_from_gbk(hwnd_, window->units()[*index].tag);
  }

  void on_mouse_move() {
    if (is_toggle() || !IsWindowEnabled(hwnd_)) {
      if (GetCapture() == hwnd_) ReleaseCapture();
      return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    const bool button_held = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    if (WindowFromPoint(cursor) == hwnd_) {
      SetCapture(hwnd_);
      set_state(button_held ? kPressed : kHover);
    } else {
      if (!button_held && GetCapture() == hwnd_) ReleaseCapture();
      set_state(kNormal);
    }
  }

  void raise_click() { frame::raise_event(window_id_, unit_id_, kEventClick); }

  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        on_left_down(lparam);
        return 0;
      case WM_LBUTTONUP:
        on_left_up(lparam);
        return 0;
      case WM_MOUSEMOVE:
        on_mouse_move();
        return 0;
      case WM_ENABLE:
      case WM_SETFOCUS:
        repaint_now();
        return 0;
      case WM_KILLFOCUS:
        on_kill_focus();
        return 0;
      case WM_UPDATEUISTATE:
        DefWindowProcW(hwnd_, message, wparam, lparam);
        repaint_now();
        return 0;
      case WM_GETDLGCODE:
        return DLGC_BUTTON | (is_toggle() ? 0 : DLGC_UNDEFPUSHBUTTON);
      case WM_KEYDOWN:
        if (wparam != VK_SPACE) break;
        on_space_down(lparam);
        return 0;
      case WM_KEYUP:
        if (wparam != VK_SPACE) break;
        on_space_up();
        return 0;
      case frame::kMsgUnitCreated:
        take_name_from_tag();
        return 0;
      case BM_CLICK:
        if (IsWindowEnabled(hwnd_)) complete_press();
        return 0;
      case WM_GETOBJECT:
        return accessible_.answer_get_object(hwnd_, wparam, lparam);
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }

  uint32_t window_id_;
  uint32_t unit_id_;
  mutable std::array<std::optional<OwnedBitmap>, kPictureSlotCount> faces_;
  COLORREF blend_colour_ = 0;
  VisualState state_ = kNormal;
  bool space_held_ = false;
  AccessibleClient accessible_;
};

}  // namespace

const frame::KindDescriptor kPictureButtonKind = KindAdapter<PictureButton, kPictureButtonNames>::descriptor();

}  // namespace units
