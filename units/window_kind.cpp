#include "units/window_kind.h"

#include "frame/application.h"
#include "frame/notification.h"
#include "frame/owned_handle.h"
#include "units/native_window.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr char kDefaultClassName[] = "KMWindow";
constexpr int kEventClose = 1;
constexpr int kEventDestroying = 2;
constexpr int kEventCloseAsked = 12;

}  // namespace

WindowUnit::WindowUnit(WindowBlock properties, uint32_t window_id, uint32_t unit_id)
    : properties_(std::move(properties)), window_id_(window_id), unit_id_(unit_id) {}

frame::UnitObject* WindowUnit::create(const frame::CreateParams& params) {
  auto properties = decode_window_block({params.data, params.data_length});
  if (!properties) return nullptr;
  auto* unit = new WindowUnit(std::move(*properties), params.window_id, params.unit_id);
  if (!unit->create_native_window(params)) {
    delete unit;
    return nullptr;
  }
  return unit;
}

// Borderless windows never get a caption; the others get one when they have a
// title or a control box.
DWORD WindowUnit::window_style(bool as_child) const {
  DWORD style = WS_CLIPCHILDREN;
  const uint32_t border = properties_.border_style;
  if (border != 0) {
    if (!properties_.title.empty() || properties_.control_box) style |= WS_CAPTION;
    if (!as_child) style |= WS_DLGFRAME;
    const bool resizable = border == 1 || border == 3 || border == 5;
    if (resizable) style |= as_child ? 0 : WS_THICKFRAME;
  }
  if (properties_.control_box) style |= WS_SYSMENU;
  if (properties_.maximize_box) style |= WS_MAXIMIZEBOX;
  if (properties_.minimize_box) style |= WS_MINIMIZEBOX;
  if (as_child) style |= WS_CHILD;
  return style;
}

DWORD WindowUnit::window_ex_style() const {
  const uint32_t border = properties_.border_style;
  if (border == 3 || border == 4) return WS_EX_TOOLWINDOW;
  if (border == 5 || border == 6) return WS_EX_CLIENTEDGE;
  return 0;
}

bool WindowUnit::create_native_window(const frame::CreateParams& params) {
  const char* class_name = properties_.class_name.empty() ? kDefaultClassName : properties_.class_name.c_str();
  if (!register_unit_class(class_name, procedure)) return false;

  const bool as_child = params.parent != nullptr;
  int left = params.left;
  int top = params.top;
  if (!as_child && properties_.start_position == 1) {
    left = (GetSystemMetrics(SM_CXSCREEN) - params.width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - params.height) / 2;
  }
  as_child_ = as_child;
  const DWORD ex_style = window_ex_style();
  HWND owner = as_child ? params.parent : params.owner;
  // The invisible owner keeps a window off the taskbar.
  if (!as_child && owner == nullptr && !properties_.show_in_taskbar)
    owner = frame::Application::instance().hidden_owner();
  const DWORD style = window_style(as_child) | (params.extra_style & WS_DISABLED);
  HWND hwnd = CreateWindowExA(ex_style, class_name, properties_.title.c_str(), style, left, top, params.width,
                              params.height, owner, params.menu, GetModuleHandleA(nullptr), this);
  if (hwnd == nullptr) return false;
  // A top-level window without WS_POPUP is given a caption by the system; the
  // style asked for is put back once it exists.
  SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(hwnd, nullptr, left, top, params.width, params.height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  if (properties_.always_on_top) apply_always_on_top();
  if (!properties_.movable) apply_movable();
  return true;
}

LRESULT CALLBACK WindowUnit::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = object_of_window<WindowUnit>(hwnd, message, lparam);
  if (self == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (message == WM_NCCREATE) self->hwnd_ = hwnd;
  if (message == WM_NCDESTROY) {
    on_nc_destroy(self);
    return 0;
  }
  return self->handle(message, wparam, lparam);
}

LRESULT WindowUnit::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case frame::kMsgObjectOfWindow:
      return reinterpret_cast<LRESULT>(static_cast<frame::UnitObject*>(this));
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      on_paint();
      return 0;
    case frame::kMsgPaintInto:
      paint_background(reinterpret_cast<HDC>(wparam), *reinterpret_cast<const RECT*>(lparam));
      return frame::kPaintIntoAnswer;
    case WM_CLOSE:
      on_close();
      return 0;
    case frame::kMsgCloseRequest:
      on_close_request();
      return 0;
    case WM_LBUTTONDOWN:
      on_left_button_down();
      break;
    case WM_DESTROY:
      raise(kEventDestroying);
      break;
  }
  return DefWindowProcA(hwnd_, message, wparam, lparam);
}

void WindowUnit::on_paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  if (!IsRectEmpty(&paint.rcPaint)) paint_background(dc, paint.rcPaint);
  EndPaint(hwnd_, &paint);
}

COLORREF WindowUnit::background_colour() const { return stored_colour(properties_.background_colour); }

// Event 12 is asked first, then event 1; either refuses by answering false.
void WindowUnit::on_close() {
  if (!raise_refusable(kEventCloseAsked)) return;
  if (!raise_refusable(kEventClose)) return;
  DestroyWindow(hwnd_);
}

// Posted by the close-window service so that the window goes only after the
// handler that asked for it has returned; an unmarked request is ignored.
void WindowUnit::on_close_request() {
  if (!closing_) return;
  closing_ = false;
  DestroyWindow(hwnd_);
}

std::optional<uint64_t> WindowUnit::raise(int event) {
  uint64_t result = 0;
  frame::EventRequest request{window_id_, unit_id_, event, &result};
  if (notify_frame(frame::kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&request), 0) == 0) return std::nullopt;
  return result;
}

// A routine refuses by answering false; no routine bound means no refusal.
bool WindowUnit::raise_refusable(int event) {
  const auto result = raise(event);
  return !result || static_cast<uint32_t>(*result) != 0;
}

void WindowUnit::on_left_button_down() {
  if (properties_.drag_anywhere) PostMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Units whose kind says so (the picture box) drag the window like its own surface.
bool WindowUnit::unit_drags_window(HWND unit) const {
  frame::Application& app = frame::Application::instance();
  frame::WindowRecord* window = app.windows().find(window_id_);
  if (window == nullptr) return false;
  for (const frame::UnitInstance& instance : window->units()) {
    if (instance.hwnd() != unit) continue;
    const frame::KindDescriptor* kind = app.kind_descriptor(instance.record->kind);
    return kind != nullptr && (kind->state_flags & frame::kKindDragsWindow) != 0;
  }
  return false;
}

bool WindowUnit::pre_translate_message(MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && properties_.esc_closes) {
    SendMessageA(hwnd_, WM_CLOSE, 0, 0);
    return true;
  }
  if (message.message == WM_LBUTTONDOWN && properties_.drag_anywhere && message.hwnd != hwnd_ &&
      unit_drags_window(message.hwnd)) {
    PostMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return true;
  }
  return false;
}

// The frame drops this object when it hears the window is gone, so nothing here
// may touch the object after telling it.
void WindowUnit::on_nc_destroy(WindowUnit* self) {
  const uint32_t window_id = self->window_id_;
  forget_object_of_window(self->hwnd_);
  self->hwnd_ = nullptr;
  notify_frame(frame::kNotifyWindowDestroyed, static_cast<intptr_t>(window_id), 0);
}

}  // namespace units
