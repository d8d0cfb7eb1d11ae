// The window kind's own properties: what each slot stores and what a write does to
// the live window.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "frame/application.h"
#include "units/unit_libraries.h"
#include "units/window_kind.h"

namespace units {
namespace {

enum WindowProperty : int {
  kTitle = 0,
  kBorderStyle,
  kBackgroundColour,
  kBackgroundPicture,
  kPictureMode,
  kBackgroundSound,
  kSoundRepeat,
  kControlBox,
  kMaximizeBox,
  kMinimizeBox,
  kStartPosition,
  kMovable,
  kIcon,
  kEnterMovesFocus,
  kEscCloses,
  kF1OpensHelp,
  kHelpFile,
  kHelpContext,
  kShowInTaskbar,
  kDragAnywhere,
  kShape,
  kAlwaysOnTop,
  kKeepCaptionActive,
  kClassName,
};

void put_text(const std::string& text, frame::PropertyValue& value) {
  value.data = text.data();
  value.length = static_cast<uint32_t>(text.size());
}

void put_bytes(const std::vector<uint8_t>& bytes, frame::PropertyValue& value) {
  value.data = bytes.empty() ? nullptr : bytes.data();
  value.length = static_cast<uint32_t>(bytes.size());
}

std::string text_of(const frame::PropertyValue& value) {
  return value.data ? std::string(static_cast<const char*>(value.data), value.length) : std::string();
}

std::vector<uint8_t> bytes_of(const frame::PropertyValue& value) {
  const auto* bytes = static_cast<const uint8_t*>(value.data);
  return bytes ? std::vector<uint8_t>(bytes, bytes + value.length) : std::vector<uint8_t>();
}

BOOL CALLBACK invalidate_transparent_child(HWND child, LPARAM) {
  if (IsWindowVisible(child) && (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0) {
    InvalidateRect(child, nullptr, FALSE);
  }
  return TRUE;
}

void get_window_property(void*, frame::UnitObject* unit, int index, frame::PropertyValue* value) {
  static_cast<const WindowUnit*>(unit)->get_property(index, *value);
}

int set_window_property(frame::UnitObject* unit, frame::UnitObject*, int index, const frame::PropertyValue* value,
                        int) {
  static_cast<WindowUnit*>(unit)->set_property(index, *value);
  return 0;
}

void* window_interface(int request) {
  switch (request) {
    case frame::kRequestCreate:
      return reinterpret_cast<void*>(&WindowUnit::create);
    case frame::kRequestGetProperty:
      return reinterpret_cast<void*>(&get_window_property);
    case frame::kRequestSetProperty:
      return reinterpret_cast<void*>(&set_window_property);
    default:
      return nullptr;
  }
}

constexpr frame::PropertyInfo property(uint32_t type) { return {"", "", "", type, 0}; }

// Slots 0 to 7 are the frame's; the kind's own follow from slot 8.
constexpr frame::PropertyInfo kWindowProperties[] = {
    property(frame::kPropertyInteger),
    property(frame::kPropertyInteger),
    property(frame::kPropertyInteger),
    property(frame::kPropertyInteger),
    property(frame::kPropertyText),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyCursor),
    property(frame::kPropertyText),
    property(frame::kPropertyChoice),
    property(frame::kPropertyBackgroundColour),
    property(frame::kPropertyPicture),
    property(frame::kPropertyChoice),
    property(frame::kPropertySound),
    property(frame::kPropertyChoice),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyChoice),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyIcon),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyFileName),
    property(frame::kPropertyInteger),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyChoice),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyBoolean),
    property(frame::kPropertyText),
};
static_assert(std::size(kWindowProperties) == 32);

}  // namespace

const frame::KindDescriptor kWindowKind = {
    "窗口",
    "window",
    "",
    0,
    nullptr,
    0x800000D0,
    0,
    0,
    nullptr,
    static_cast<uint32_t>(std::size(kWindowProperties)),
    kWindowProperties,
    window_interface,
    0,
    nullptr,
};

uint32_t WindowUnit::live_start_position() const {
  if (IsIconic(hwnd_)) return 2;
  if (IsZoomed(hwnd_)) return 3;
  return 0;
}

void WindowUnit::get_property(int index, frame::PropertyValue& value) const {
  const WindowBlock& p = properties_;
  const uint32_t words[] = {0,
                            p.border_style,
                            p.background_colour,
                            0,
                            p.picture_mode,
                            0,
                            p.sound_repeat,
                            p.control_box,
                            p.maximize_box,
                            p.minimize_box,
                            live_start_position(),
                            p.movable,
                            0,
                            p.enter_moves_focus,
                            p.esc_closes,
                            p.f1_opens_help,
                            0,
                            p.help_context,
                            p.show_in_taskbar,
                            p.drag_anywhere,
                            p.shape,
                            p.always_on_top,
                            p.keep_caption_active,
                            0};
  switch (index) {
    case kTitle:
      return put_text(p.title, value);
    case kBackgroundPicture:
      return put_bytes(p.background_picture, value);
    case kBackgroundSound:
      return put_bytes(p.background_sound, value);
    case kIcon:
      return put_bytes(p.icon, value);
    case kHelpFile:
      return put_text(p.help_file, value);
    case kClassName:
      return put_text(p.class_name, value);
    default:
      if (index >= 0 && index < static_cast<int>(std::size(words))) value.low = words[index];
  }
}

void WindowUnit::set_property(int index, const frame::PropertyValue& value) {
  WindowBlock& p = properties_;
  const uint32_t word = value.low;
  switch (index) {
    case kTitle:
      p.title = text_of(value);
      SetWindowTextA(hwnd_, p.title.c_str());
      return apply_styles();
    case kBorderStyle:
      p.border_style = std::min(word, kMaxWindowBorderStyle);
      return apply_styles();
    case kControlBox:
      p.control_box = word != 0;
      return apply_styles();
    case kMaximizeBox:
      p.maximize_box = word != 0;
      return apply_styles();
    case kMinimizeBox:
      p.minimize_box = word != 0;
      return apply_styles();
    case kBackgroundColour:
      p.background_colour = word;
      drop_background_picture();
      return repaint_background();
    case kBackgroundPicture:
      p.background_picture = bytes_of(value);
      drop_background_picture();
      return repaint_background();
    case kPictureMode:
      p.picture_mode = std::min(word, kMaxWindowPictureMode);
      if (!p.background_picture.empty()) repaint_background();
      return;
    case kBackgroundSound:
      sound_.stop();
      p.background_sound = bytes_of(value);
      return start_sound();
    case kSoundRepeat:
      p.sound_repeat = std::min(word, kMaxSoundRepeat);
      return;
    case kStartPosition:
      p.start_position = std::min(word, kMaxStartPosition);
      return apply_start_position();
    case kMovable:
      p.movable = word != 0;
      return apply_movable();
    case kIcon:
      p.icon = bytes_of(value);
      return apply_icons();
    case kEnterMovesFocus:
      p.enter_moves_focus = word != 0;
      return;
    case kEscCloses:
      p.esc_closes = word != 0;
      return;
    case kF1OpensHelp:
      p.f1_opens_help = word != 0;
      return;
    case kHelpFile:
      p.help_file = text_of(value);
      return;
    case kHelpContext:
      p.help_context = word;
      return;
    case kShowInTaskbar:
      p.show_in_taskbar = word != 0;
      return;
    case kDragAnywhere:
      p.drag_anywhere = word != 0;
      return;
    case kShape:
      p.shape = std::min(word, kMaxWindowShape);
      return apply_shape();
    case kAlwaysOnTop:
      p.always_on_top = word != 0;
      return apply_always_on_top();
    case kKeepCaptionActive:
      p.keep_caption_active = word != 0;
      return;
    case kClassName:
      p.class_name = text_of(value);
      return;
  }
}

// The live state bits stay as they are: a start position acts only at creation.
void WindowUnit::apply_styles() {
  constexpr LONG kLiveState = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;
  const LONG kept = GetWindowLongA(hwnd_, GWL_STYLE) & kLiveState;
  const bool owned = GetWindow(hwnd_, GW_OWNER) != nullptr;
  const LONG style = static_cast<LONG>(window_style(as_child_, owned)) & ~kLiveState;
  SetWindowLongA(hwnd_, GWL_STYLE, style | kept);
  SetWindowLongA(hwnd_, GWL_EXSTYLE, static_cast<LONG>(window_ex_style()));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The labels over the background have none of their own: they are redrawn too.
void WindowUnit::repaint_background() {
  InvalidateRect(hwnd_, nullptr, TRUE);
  EnumChildWindows(hwnd_, invalidate_transparent_child, 0);
}

void WindowUnit::apply_start_position() {
  if (!IsWindowVisible(hwnd_)) return;
  switch (properties_.start_position) {
    case 0:
      ShowWindow(hwnd_, SW_SHOWNORMAL);
      return;
    case 1: {
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      RECT rect;
      GetWindowRect(hwnd_, &rect);
      const int width = rect.right - rect.left;
      const int height = rect.bottom - rect.top;
      SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    case 2:
      ShowWindow(hwnd_, SW_MINIMIZE);
      return;
    default:
      ShowWindow(hwnd_, SW_MAXIMIZE);
  }
}

void WindowUnit::apply_movable() {
  if (properties_.movable) {
    GetSystemMenu(hwnd_, TRUE);
  } else if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
    RemoveMenu(menu, SC_MOVE, MF_BYCOMMAND);
  }
}

// Leaving the top band must not take the program's other topmost windows that are
// kept off the taskbar (its floating tool windows) below this one.
void WindowUnit::apply_always_on_top() {
  constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(hwnd_, properties_.always_on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  if (properties_.always_on_top) return;
  frame::Application& app = frame::Application::instance();
  for (const auto& window : app.windows().windows()) {
    const HWND other = window->hwnd();
    if (!window->exists() || other == hwnd_) continue;
    const bool topmost = (GetWindowLongA(other, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost && GetWindow(other, GW_OWNER) == app.hidden_owner())
      SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
  }
}

}  // namespace units
