// The `PicBtn` kind: a button drawn entirely from up to four pictures (normal,
// hover, pressed, disabled), either a push button or a toggle, raising event 0
// after a completed press.
#include <windows.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <vector>

#include "frame/gdi_scopes.h"
#include "frame/notification.h"
#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "pictures/picture_drawing.h"
#include "units/native_window.h"
#include "units/picture_button_block.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr char kButtonClassName[] = "_QV_RgnButton";
constexpr int kEventClick = 0;

enum ButtonProperty : int {
  kButtonType = 0,
  kChecked,
  kFirstPictureSlot,  // normal, hover, pressed, disabled follow in slot order
  kColourKey = kFirstPictureSlot + kPictureSlotCount,
};

enum VisualState : int { kNormal = 0, kHover = 1, kPressed = 2 };

using frame::OwnedBitmap;

class PictureButton : public frame::UnitObject {
 public:
  friend LRESULT CALLBACK unit_window_procedure<PictureButton>(HWND, UINT, WPARAM, LPARAM);

  PictureButton(PictureButtonBlock properties, uint32_t window_id, uint32_t unit_id)
      : properties_(std::move(properties)), window_id_(window_id), unit_id_(unit_id) {}

  bool create_native_window(const frame::CreateParams& params) {
    if (!register_unit_class(kButtonClassName, unit_window_procedure<PictureButton>)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style;
    if (CreateWindowExA(0, kButtonClassName, "", style, params.left, params.top, params.width, params.height,
                        params.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)),
                        GetModuleHandleA(nullptr), this) == nullptr) {
      return false;
    }
    blend_colour_ = parent_background_colour(params.parent);
    checked_ = properties_.checked;
    state_ = is_toggle() && checked_ ? kPressed : kNormal;
    if (properties_.colour_key != kNoColourKey) update_region();
    return true;
  }

  void get(int index, frame::PropertyValue& value) const {
    if (index == kButtonType) value.low = properties_.button_type;
    if (index == kChecked) value.low = checked_;
    if (index == kColourKey) value.low = properties_.colour_key;
    if (const std::vector<uint8_t>* picture = picture_at(index)) {
      value.data = picture->empty() ? nullptr : picture->data();
      value.length = static_cast<uint32_t>(picture->size());
    }
  }

  void set(int index, const frame::PropertyValue& value) {
    if (index == kButtonType) properties_.button_type = std::min(value.low, kMaxButtonType);
    if (index == kChecked) apply_checked(value.low != 0);
    if (index == kColourKey) {
      properties_.colour_key = value.low;
      refresh_look();
    }
    if (picture_at(index) != nullptr) set_picture(static_cast<size_t>(index - kFirstPictureSlot), value);
  }

 private:
  static COLORREF parent_background_colour(HWND parent) {
    const auto* window =
        reinterpret_cast<const frame::UnitObject*>(SendMessageA(parent, frame::kMsgObjectOfWindow, 0, 0));
    return window != nullptr ? window->background_colour() : GetSysColor(COLOR_BTNFACE);
  }

  bool is_toggle() const { return properties_.button_type == 1; }

  const std::vector<uint8_t>* picture_at(int index) const {
    if (index < kFirstPictureSlot || index >= kColourKey) return nullptr;
    return &properties_.pictures[static_cast<size_t>(index - kFirstPictureSlot)];
  }

  // A face is made from its picture the first time it is shown: most hover,
  // pressed and disabled faces are never needed, and each one costs a screen
  // device context and a bitmap before the window can first appear. Null when
  // the slot holds no picture that decodes.
  HBITMAP face(size_t slot) const {
    if (!faces_[slot]) faces_[slot] = pictures::bitmap_from_bytes(properties_.pictures[slot], blend_colour_);
    return faces_[slot]->get();
  }

  void set_picture(size_t slot, const frame::PropertyValue& value) {
    const auto* bytes = static_cast<const uint8_t*>(value.data);
    const size_t shown_before = shown_slot();
    properties_.pictures[slot] = bytes ? std::vector<uint8_t>(bytes, bytes + value.length) : std::vector<uint8_t>();
    faces_[slot].reset();
    if (slot == kNormalPicture || slot == shown_before) refresh_look();
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

  void apply_checked(bool checked) {
    if (!is_toggle()) return;
    checked_ = checked;
    set_state(checked ? kPressed : kNormal);
  }

  void set_state(VisualState state) {
    if (state_ == state) return;
    state_ = state;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
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
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }

  void on_paint() const {
    const frame::PaintScope paint(hwnd_);
    paint_into(paint.dc());
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
    if (is_toggle()) {
      checked_ = !checked_;
      set_state(checked_ ? kPressed : kNormal);
    } else {
      set_state(kNormal);
    }
    raise_click();
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

  void raise_click() {
    frame::EventRequest request{window_id_, unit_id_, kEventClick, nullptr};
    notify_frame(frame::kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&request), 0);
  }

  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_PAINT:
        on_paint();
        return 0;
      case WM_PRINTCLIENT:
        paint_into(reinterpret_cast<HDC>(wparam));
        return 0;
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
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateWindow(hwnd_);
        return 0;
    }
    return DefWindowProcA(hwnd_, message, wparam, lparam);
  }

  PictureButtonBlock properties_;
  uint32_t window_id_;
  uint32_t unit_id_;
  mutable std::array<std::optional<OwnedBitmap>, kPictureSlotCount> faces_;
  COLORREF blend_colour_ = 0;
  bool checked_ = false;
  VisualState state_ = kNormal;
};

frame::UnitObject* create_picture_button(const frame::CreateParams& params) {
  auto block = decode_picture_button_block({params.data, params.data_length});
  if (!block) return nullptr;
  auto* unit = new PictureButton(std::move(*block), params.window_id, params.unit_id);
  if (!unit->create_native_window(params)) {
    delete unit;
    return nullptr;
  }
  return unit;
}

void get_button_property(void*, frame::UnitObject* unit, int index, frame::PropertyValue* value) {
  static_cast<const PictureButton*>(unit)->get(index, *value);
}

int set_button_property(frame::UnitObject* unit, frame::UnitObject*, int index, const frame::PropertyValue* value,
                        int) {
  static_cast<PictureButton*>(unit)->set(index, *value);
  return 0;
}

void* picture_button_interface(int request) {
  switch (request) {
    case frame::kRequestCreate:
      return reinterpret_cast<void*>(&create_picture_button);
    case frame::kRequestGetProperty:
      return reinterpret_cast<void*>(&get_button_property);
    case frame::kRequestSetProperty:
      return reinterpret_cast<void*>(&set_button_property);
    default:
      return nullptr;
  }
}

constexpr frame::PropertyInfo property(uint32_t type) { return {"", "", "", type, 0}; }

// Slots 0 to 7 are the frame's; the kind's own follow from slot 8.
constexpr frame::PropertyInfo kButtonProperties[] = {
    property(frame::kPropertyInteger), property(frame::kPropertyInteger), property(frame::kPropertyInteger),
    property(frame::kPropertyInteger), property(frame::kPropertyText),    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean), property(frame::kPropertyCursor),  property(frame::kPropertyChoice),
    property(frame::kPropertyBoolean), property(frame::kPropertyPicture), property(frame::kPropertyPicture),
    property(frame::kPropertyPicture), property(frame::kPropertyPicture), property(frame::kPropertyBackgroundColour),
};
static_assert(std::size(kButtonProperties) == 15);

}  // namespace

const frame::KindDescriptor kPictureButtonKind = {
    "图形按钮",
    "PicBtn",
    "",
    0,
    nullptr,
    0x80010040,
    0,
    0,
    nullptr,
    static_cast<uint32_t>(std::size(kButtonProperties)),
    kButtonProperties,
    picture_button_interface,
    0,
    nullptr,
};

}  // namespace units
