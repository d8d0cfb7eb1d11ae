#include "units/window_kind.h"

#include <array>

#include "frame/exception_barrier.h"
#include "frame/frame_services.h"
#include "frame/gbk_wide.h"
#include "frame/gdi_scopes.h"
#include "units/native_window.h"
#include "units/unit_libraries.h"
#include "units/window_input_events.h"
#include "units/window_shape.h"

namespace units {
namespace {

constexpr wchar_t kDefaultClassName[] = L"KMWindow";

enum WindowEvent : int {
  kEventClose = 1,
  kEventDestroying = 2,
  kEventMoved = 3,
  kEventResized = 4,
  kEventActivated = 5,
  kEventDeactivated = 6,
  kEventFirstActivation = 8,
  kEventTray = 9,
  kEventShown = 10,
  kEventHidden = 11,
  kEventCloseAsked = 12,
  kEventGotFocus = -7,
  kEventLostFocus = -8,
};

// An activation handler that activates another window must not see that window's
// activation events inside its own.
bool g_activation_events_running = false;

bool is_resizable(uint32_t border) { return border == 1 || border == 3 || border == 5; }

}  // namespace

WindowUnit::WindowUnit(WindowBlock properties, const frame::CreateParams& params)
    : KindUnit(std::move(properties)), window_id_(params.window_id), unit_id_(params.unit_id) {}

// Borderless windows never get a caption; the others get one when they have a
// title or a control box.
DWORD WindowUnit::window_style(bool as_child, bool owned) const {
  DWORD style = WS_CLIPCHILDREN;
  const uint32_t border = properties_.border_style;
  if (border != 0) {
    if (!properties_.title.empty() || properties_.control_box) style |= WS_CAPTION;
    if (!as_child) style |= WS_DLGFRAME;
    if (is_resizable(border) && !as_child) style |= WS_THICKFRAME;
  }
  if (properties_.control_box) style |= WS_SYSMENU;
  if (properties_.maximize_box) style |= WS_MAXIMIZEBOX;
  if (properties_.minimize_box) style |= WS_MINIMIZEBOX;
  if (as_child) return style | WS_CHILD;
  if (owned) style |= WS_POPUP;
  if (properties_.start_position == 2) style |= WS_MINIMIZE;
  if (properties_.start_position == 3 && is_resizable(border)) style |= WS_MAXIMIZE;
  return style;
}

DWORD WindowUnit::window_ex_style() const {
  const uint32_t border = properties_.border_style;
  if (border == 3 || border == 4) return WS_EX_TOOLWINDOW;
  if (border == 5 || border == 6) return WS_EX_CLIENTEDGE;
  return 0;
}

bool WindowUnit::create_native_window(const frame::CreateParams& params) {
  const std::wstring class_name =
      properties_.class_name.empty() ? kDefaultClassName : frame::wide_from_gbk(properties_.class_name);
  if (!register_unit_class(class_name.c_str(), procedure)) return false;

  as_child_ = params.parent != nullptr;
  int left = params.left;
  int top = params.top;
  if (!as_child_ && properties_.start_position == 1) {
    left = (GetSystemMetrics(SM_CXSCREEN) - params.width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - params.height) / 2;
  }
  HWND owner = as_child_ ? params.parent : params.owner;
  // The invisible owner keeps a window off the taskbar.
  if (!as_child_ && owner == nullptr && !properties_.show_in_taskbar) owner = frame::hidden_owner();
  const DWORD style = window_style(as_child_, owner != nullptr) | (params.extra_style & WS_DISABLED);
  HWND hwnd =
      CreateWindowExW(window_ex_style(), class_name.c_str(), frame::wide_from_gbk(properties_.title).c_str(), style,
                      left, top, params.width, params.height, owner, params.menu, GetModuleHandleW(nullptr), this);
  if (hwnd == nullptr) return false;
  // A top-level window without WS_POPUP is given a caption by the system; the
  // style asked for is put back once it exists.
  SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(hwnd, nullptr, left, top, params.width, params.height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  apply_icons();
  apply_shape();
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  if (properties_.always_on_top) apply_always_on_top();
  if (!properties_.movable) apply_movable();
  start_sound();
  // Focus cues and underlined mnemonics stay hidden until the keyboard is used.
  SendMessageA(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  return true;
}

// The region follows the outer size; a plain rectangle has none.
void WindowUnit::apply_shape() {
  RECT rect;
  GetWindowRect(hwnd_, &rect);
  frame::OwnedRegion region = make_shape_region(properties_.shape, rect.right - rect.left, rect.bottom - rect.top);
  // The system owns the region from here on.
  SetWindowRgn(hwnd_, region.release(), IsWindowVisible(hwnd_));
}

void WindowUnit::start_sound() { sound_.start(properties_.background_sound, properties_.sound_repeat); }

LRESULT CALLBACK WindowUnit::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return frame::guarded([&]() -> LRESULT {
    auto* self = object_of_window<WindowUnit>(hwnd, message, lparam);
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    if (message == WM_NCDESTROY) {
      on_nc_destroy(self);
      return 0;
    }
    return self->handle(message, wparam, lparam);
  });
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
    case WM_MOVE:
      raise(kEventMoved);
      break;
    case WM_SIZE:
      on_size();
      break;
    case WM_GETMINMAXINFO:
      limit_maximised_to_work_area(*reinterpret_cast<MINMAXINFO*>(lparam));
      return 0;
    case WM_ACTIVATE:
      on_activate(wparam);
      break;
    case WM_NCACTIVATE:
      return on_nc_activate(wparam, lparam);
    case WM_SETFOCUS:
      on_set_focus();
      return 0;
    case WM_KILLFOCUS:
      raise(kEventLostFocus);
      return 0;
    case WM_SHOWWINDOW:
      raise(wparam ? kEventShown : kEventHidden);
      break;
    case WM_SETCURSOR:
      if (on_set_cursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam))) return TRUE;
      break;
    case kMsgTrayIcon:
      on_tray_message(lparam);
      return 0;
    case WM_CLOSE:
      on_close();
      return 0;
    case WM_QUERYENDSESSION:
      return raise_refusable(kEventClose) ? TRUE : FALSE;
    case frame::kMsgCloseRequest:
      on_close_request();
      return 0;
    case WM_LBUTTONDOWN:
      on_left_button_down();
      break;
    case WM_DESTROY:
      on_destroy();
      break;
    case WM_CHANGEUISTATE:
      if (as_child_) break;
      if (ui_state_.apply(wparam)) announce_ui_state(wparam);
      return 0;
    case WM_UPDATEUISTATE:
      ui_state_.apply(wparam);
      break;
    case WM_QUERYUISTATE:
      return ui_state_.flags();
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

COLORREF WindowUnit::background_colour() const { return stored_colour(properties_.background_colour); }

void WindowUnit::on_paint() {
  const frame::PaintScope paint(hwnd_);
  if (!IsRectEmpty(&paint.area())) paint_background(paint.dc(), paint.area());
}

void WindowUnit::paint_background(HDC dc, const RECT& area) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const frame::OwnedRegion uncovered(CreateRectRgnIndirect(&area));
  if (const auto covered = background_picture_.draw(dc, client, area, properties_)) {
    const frame::OwnedRegion drawn(CreateRectRgnIndirect(&*covered));
    CombineRgn(uncovered.get(), uncovered.get(), drawn.get(), RGN_DIFF);
  }
  const frame::OwnedBrush brush(CreateSolidBrush(background_colour()));
  FillRgn(dc, uncovered.get(), brush.get());
}

// Maximised, a window of any border covers the work area of its monitor and leaves
// the taskbar free; positions here count from the monitor's own corner.
void WindowUnit::limit_maximised_to_work_area(MINMAXINFO& limits) const {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  HMONITOR nearest = MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST);
  if (nearest == nullptr || !GetMonitorInfoA(nearest, &monitor)) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    monitor.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const RECT& work = monitor.rcWork;
  limits.ptMaxPosition = {work.left - monitor.rcMonitor.left, work.top - monitor.rcMonitor.top};
  limits.ptMaxSize = {work.right - work.left, work.bottom - work.top};
}

void WindowUnit::on_size() {
  apply_shape();
  raise(kEventResized);
}

// The focus inside the window is remembered when it goes inactive and given back
// on the next WM_SETFOCUS.
void WindowUnit::on_activate(WPARAM state) {
  const bool active = LOWORD(state) != WA_INACTIVE;
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) remembered_focus_ = focus;
  }
  if (g_activation_events_running) return;
  g_activation_events_running = true;
  raise(active ? kEventActivated : kEventDeactivated);
  if (active && !activated_once_) {
    activated_once_ = true;
    raise(kEventFirstActivation);
  }
  g_activation_events_running = false;
}

void WindowUnit::on_set_focus() {
  raise(kEventGotFocus);
  // A unit hidden since it was remembered must not take keys unseen.
  if (remembered_focus_ != nullptr && IsWindowVisible(remembered_focus_) && IsChild(hwnd_, remembered_focus_)) {
    SetFocus(remembered_focus_);
    return;
  }
  keyboard_.focus_first_tab_stop(keyboard_window());
}

// A deactivated caption is drawn as an active one while the window can be used.
LRESULT WindowUnit::on_nc_activate(WPARAM active, LPARAM lparam) {
  if (!active && properties_.keep_caption_active && IsWindowEnabled(hwnd_)) active = TRUE;
  return DefWindowProcW(hwnd_, WM_NCACTIVATE, active, lparam);
}

// Event 12 is asked first, then event 1; either refuses by answering false.
// The windows a modal one disabled are enabled before it goes, so that the system
// hands the activation back to one of them.
void WindowUnit::on_close() {
  if (!raise_refusable(kEventCloseAsked)) return;
  if (!raise_refusable(kEventClose)) return;
  frame::end_modality(window_id_);
  DestroyWindow(hwnd_);
}

// Posted by the close-window service so that the window goes only after the
// handler that asked for it has returned; an unmarked request is ignored.
void WindowUnit::on_close_request() {
  frame::WindowRecord* window = record();
  if (window == nullptr || !window->take_closing_mark()) return;
  DestroyWindow(hwnd_);
}

// Units that draw cues repaint when told.
void WindowUnit::announce_ui_state(WPARAM change) {
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageA(child, WM_UPDATEUISTATE, change, 0);
  }
}

void WindowUnit::on_destroy() {
  raise(kEventDestroying);
  keyboard_.quit_help(hwnd_);
  tray_icon_.remove(hwnd_);
  sound_.stop();
}

bool WindowUnit::set_tray_icon(std::span<const uint8_t> icon_bytes, const std::string& tip) {
  return tray_icon_.set(hwnd_, icon_bytes, tip);
}

void WindowUnit::on_tray_message(LPARAM mouse_message) {
  const auto click = TrayIcon::click_of(mouse_message);
  if (!click) return;
  const uint32_t arguments[] = {*click};
  raise(kEventTray, arguments);
}

std::optional<uint64_t> WindowUnit::raise(int event, std::span<const uint32_t> arguments) {
  return frame::raise_event(window_id_, unit_id_, event, arguments);
}

// A routine refuses by answering false; no routine bound means no refusal.
bool WindowUnit::raise_refusable(int event) {
  const auto result = raise(event);
  return !result || static_cast<uint32_t>(*result) != 0;
}

// The system's move loop follows the pointer from where it is. Handing it the press
// point instead makes Wine's loop outlive a click whose button is already up, and
// the loop then swallows the next click.
void WindowUnit::start_drag() { PostMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0); }

void WindowUnit::on_left_button_down() {
  if (properties_.drag_anywhere) start_drag();
}

frame::WindowRecord* WindowUnit::record() const { return frame::find_window(window_id_); }

const frame::UnitInstance* WindowUnit::unit_of(HWND hwnd) const {
  frame::WindowRecord* window = record();
  return window != nullptr ? window->unit_of(hwnd) : nullptr;
}

// Units whose kind says so (the picture box) drag the window like its own surface.
bool WindowUnit::unit_drags_window(HWND unit) const {
  const frame::UnitInstance* instance = unit_of(unit);
  if (instance == nullptr || instance->hwnd() == hwnd_) return false;
  const frame::KindDescriptor* kind = frame::kind_descriptor(instance->record->kind);
  return kind != nullptr && (kind->state_flags & frame::kKindDragsWindow) != 0;
}

// The unit a message is for: its target window, or the nearest of the target's
// parents that is a unit (a kind may build its unit of several windows).
const frame::UnitInstance* WindowUnit::unit_receiving(HWND target) const {
  frame::WindowRecord* window = record();
  for (; window != nullptr && target != nullptr; target = GetParent(target)) {
    if (const frame::UnitInstance* unit = window->unit_of(target)) return unit;
    if (target == hwnd_) break;
  }
  return nullptr;
}

// The common mouse and keyboard events, raised before the message goes on to be
// handled, for units of kinds that raise events at all.
void WindowUnit::raise_input_event(const MSG& message) {
  const frame::UnitInstance* unit = unit_receiving(message.hwnd);
  if (unit == nullptr) return;
  POINT point = client_point_of(message);
  if (unit->hwnd() != message.hwnd) MapWindowPoints(message.hwnd, unit->hwnd(), &point, 1);
  const frame::KindDescriptor* kind = frame::kind_descriptor(unit->record->kind);
  if (kind == nullptr || !kind->raises_events()) return;
  for (const InputEventRecord& input : input_events_of(message, point)) {
    std::array<frame::TypedValue, 4> arguments;
    for (size_t i = 0; i < input.argument_count; ++i) arguments[i] = frame::TypedValue::of_int(input.arguments[i]);
    frame::raise_event(window_id_, unit->record->id, input.event,
                       std::span<const frame::TypedValue>(arguments.data(), input.argument_count));
  }
}

bool WindowUnit::pre_translate_message(MSG& message) {
  raise_input_event(message);
  switch (message.message) {
    case WM_KEYDOWN:
      return keyboard_.on_key_down(keyboard_window(), message);
    case WM_SYSCHAR:
    case WM_CHAR:
      // Mnemonics are ASCII letters and digits; the wide loop hands over UTF-16.
      return message.wParam < 0x80 &&
             keyboard_.on_mnemonic(keyboard_window(), message.hwnd, static_cast<char>(message.wParam));
    case WM_LBUTTONDOWN:
      if (properties_.drag_anywhere && message.hwnd != hwnd_ && unit_drags_window(message.hwnd)) {
        start_drag();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// The frame drops this object when it hears the window is gone, so nothing here
// may touch the object after telling it.
void WindowUnit::on_nc_destroy(WindowUnit* self) {
  const uint32_t window_id = self->window_id_;
  forget_object_of_window(self->hwnd_);
  self->hwnd_ = nullptr;
  frame::window_destroyed(window_id);
}

}  // namespace units
