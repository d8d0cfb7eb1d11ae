#include "frame/properties.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "frame/application.h"
#include "frame/frame_heap.h"
#include "frame/gbk_wide.h"
#include "frame/owned_handle.h"
#include "frame/runtime_error.h"
#include "frame/window_loader.h"

namespace frame {
namespace {

constexpr int32_t kCoordinateLimit = 32627;
constexpr int kWholeValue = -1;
constexpr char kDefaultFaceName[] = "宋体";

struct UnitAccess {
  WindowRecord& window;
  UnitInstance& unit;
  size_t index;
};

[[noreturn]] void report(const char* message, uint32_t window_id, uint32_t unit_id) {
  report_runtime_error(message, 0, static_cast<int32_t>(window_id), static_cast<int32_t>(unit_id));
}

UnitAccess find_unit(uint32_t window_id, uint32_t unit_id) {
  WindowRecord* window = Application::instance().windows().find(window_id);
  if (window == nullptr) report("未载入欲访问窗口组件所在的窗口", window_id, unit_id);
  auto index = window->find_record(unit_id);
  if (!index) report("指定窗口或窗口组件不存在或尚未载入", window_id, unit_id);
  return {*window, window->units()[*index], *index};
}

uint64_t as_value(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

template <typename T>
const T* as_pointer(uint32_t low) {
  return reinterpret_cast<const T*>(static_cast<uintptr_t>(low));
}

// The unit's rectangle in its parent's client coordinates (the screen's for a pop-up).
RECT live_rect(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

// --- common properties ---------------------------------------------------------

uint64_t read_geometry(const UnitInstance& unit, int number) {
  if (!unit.has_window()) {
    const int32_t stored[] = {unit.left, unit.top, unit.width, unit.height};
    return static_cast<uint32_t>(stored[number]);
  }
  const RECT r = live_rect(unit.hwnd());
  const LONG live[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  return static_cast<uint32_t>(live[number]);
}

uint64_t read_common(const UnitInstance& unit, int number) {
  switch (number) {
    case kPropertyTag:
      return as_value(heap_text(unit.tag));
    case kPropertyVisible:
      return unit.has_window() ? IsWindowVisible(unit.hwnd()) != 0 : (unit.flags & 1) != 0;
    case kPropertyDisabled:
      return unit.has_window() ? IsWindowEnabled(unit.hwnd()) == 0 : (unit.flags & 2) != 0;
    case kPropertyMouseCursor:
      return as_value(heap_byte_array(unit.cursor_picture));
    default:
      return read_geometry(unit, number);
  }
}

void write_position(UnitInstance& unit, int number, int32_t value) {
  value = std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
  (number == kPropertyLeft ? unit.left : unit.top) = value;
  if (!unit.has_window()) return;
  const RECT r = live_rect(unit.hwnd());
  const int left = number == kPropertyLeft ? value : r.left;
  const int top = number == kPropertyTop ? value : r.top;
  SetWindowPos(unit.hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void write_size(UnitInstance& unit, int number, int32_t value) {
  value = std::clamp(value, 0, kCoordinateLimit);
  (number == kPropertyWidth ? unit.width : unit.height) = value;
  if (!unit.has_window()) return;
  const RECT r = live_rect(unit.hwnd());
  const int width = number == kPropertyWidth ? value : r.right - r.left;
  const int height = number == kPropertyHeight ? value : r.bottom - r.top;
  SetWindowPos(unit.hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Showing a unit of a kind that never starts visible only changes the stored bit;
// showing the window's own record shows the window.
void write_visible(UnitAccess access, bool visible) {
  UnitInstance& unit = access.unit;
  unit.flags = visible ? unit.flags | 1u : unit.flags & ~1u;
  if (!unit.has_window()) return;
  if (!visible) {
    ShowWindow(unit.hwnd(), SW_HIDE);
    return;
  }
  const KindDescriptor* kind = Application::instance().kind_descriptor(unit.record->kind);
  if (access.index != 0 && kind != nullptr && (kind->state_flags & kKindNeverStartsVisible) != 0) return;
  if (access.window.on_hidden_page(access.index)) return;
  ShowWindow(unit.hwnd(), SW_SHOW);
}

void write_disabled(UnitInstance& unit, bool disabled) {
  unit.flags = disabled ? unit.flags | 2u : unit.flags & ~2u;
  if (unit.has_window()) EnableWindow(unit.hwnd(), !disabled);
}

void write_cursor(UnitInstance& unit, uint32_t array) {
  const auto bytes = byte_array_bytes(as_pointer<uint8_t>(array));
  unit.cursor_picture.assign(bytes.begin(), bytes.end());
  if (!unit.is_live()) return;
  // Moving the pointer to where it is makes the new cursor appear at once.
  POINT where;
  GetCursorPos(&where);
  SetCursorPos(where.x, where.y);
}

void write_common(UnitAccess access, int number, uint32_t low) {
  UnitInstance& unit = access.unit;
  const auto value = static_cast<int32_t>(low);
  switch (number) {
    case kPropertyLeft:
    case kPropertyTop:
      return write_position(unit, number, value);
    case kPropertyWidth:
    case kPropertyHeight:
      return write_size(unit, number, value);
    case kPropertyTag: {
      const char* tag = as_pointer<char>(low);
      unit.tag = tag ? tag : "";
      return;
    }
    case kPropertyVisible:
      return write_visible(access, low != 0);
    case kPropertyDisabled:
      return write_disabled(unit, low != 0);
    case kPropertyMouseCursor:
      return write_cursor(unit, low);
  }
}

// --- kind properties -----------------------------------------------------------

struct KindProperty {
  const KindDescriptor* kind;
  uint32_t type;
};

KindProperty kind_property_of(UnitAccess access, int number, uint32_t window_id, uint32_t unit_id) {
  const KindDescriptor* kind = Application::instance().kind_descriptor(access.unit.record->kind);
  const auto position = static_cast<uint32_t>(number);
  if (kind == nullptr || kind->properties == nullptr || position >= kind->property_count) {
    report("组件不具有所指定的属性", window_id, unit_id);
  }
  return {kind, kind->properties[position].type};
}

bool is_byte_array_type(uint32_t type) { return (type >= 1009 && type <= 1012) || type == 1023 || type == 1024; }

bool is_word_type(uint32_t type) {
  return type == 1000 || type == 1001 || type == 1006 || type == 1014 || type == 1015 || type == 1017;
}

// The system's face name comes back as GBK, like every text a unit stores; the
// fields before it are laid out alike in both forms.
LOGFONTA default_gui_font() {
  LOGFONTW wide = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof wide, &wide);
  LOGFONTA font = {};
  static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName));
  std::memcpy(&font, &wide, offsetof(LOGFONTA, lfFaceName));
  const std::string face = gbk_from_wide_or_marked(wide.lfFaceName);
  face.copy(font.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
  return font;
}

LOGFONTA font_of(const PropertyValue& value) {
  if (value.length != sizeof(LOGFONTA) || value.data == nullptr) return default_gui_font();
  LOGFONTA font;
  std::memcpy(&font, value.data, sizeof font);
  return font;
}

int screen_pixels_per_inch() {
  const ScreenDc screen = screen_dc();
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int32_t points_of(const LOGFONTA& font) {
  return MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, screen_pixels_per_inch());
}

uint64_t read_font(const LOGFONTA& font, int index) {
  switch (index) {
    case 0:
      return static_cast<uint32_t>(font.lfOrientation);
    case 1:
      return font.lfWeight >= FW_BOLD;
    case 2:
      return font.lfItalic != 0;
    case 3:
      return font.lfStrikeOut != 0;
    case 4:
      return font.lfUnderline != 0;
    case 5:
      return static_cast<uint32_t>(points_of(font));
    case 6:
      return as_value(heap_text(font.lfFaceName));
    default: {
      auto* record = static_cast<FontRecord*>(heap_allocate(sizeof(FontRecord)));
      *record = {font.lfOrientation,    font.lfWeight >= FW_BOLD, font.lfItalic != 0,        font.lfStrikeOut != 0,
                 font.lfUnderline != 0, points_of(font),          heap_text(font.lfFaceName)};
      return as_value(record);
    }
  }
}

uint64_t value_from_kind(uint32_t type, const PropertyValue& value, int index) {
  if (is_word_type(type)) return value.low;
  if (type == kPropertyInt64 || type == 1004) return uint64_t{value.high} << 32 | value.low;
  if (type == kPropertyBoolean) return value.low == 1 ? 1 : 0;
  if (is_byte_array_type(type)) {
    return as_value(heap_byte_array({static_cast<const uint8_t*>(value.data), value.length}));
  }
  if (type == kPropertyFont) return read_font(font_of(value), index);
  return as_value(heap_text({static_cast<const char*>(value.data), value.length}));
}

PropertyValue get_from_kind(const KindDescriptor& kind, UnitInstance& unit, int number) {
  PropertyValue value;
  auto get = reinterpret_cast<GetPropertyFunction>(kind.interface_function(kRequestGetProperty));
  if (get != nullptr) get(nullptr, unit.object.get(), number - kFirstKindProperty, &value);
  return value;
}

void set_face_name(LOGFONTA& font, const char* face) {
  const size_t length = face ? std::strlen(face) : 0;
  const char* chosen = length == 0 || length >= sizeof font.lfFaceName ? kDefaultFaceName : face;
  std::strncpy(font.lfFaceName, chosen, sizeof font.lfFaceName - 1);
  font.lfFaceName[sizeof font.lfFaceName - 1] = '\0';
}

void set_points(LOGFONTA& font, int32_t points) { font.lfHeight = -MulDiv(points, screen_pixels_per_inch(), 72); }

void set_angle(LOGFONTA& font, int32_t angle) { font.lfEscapement = font.lfOrientation = angle % 3600; }

LOGFONTA font_from_record(const FontRecord& record) {
  LOGFONTA font = {};
  set_angle(font, record.angle);
  font.lfWeight = record.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = record.italic != 0;
  font.lfStrikeOut = record.strike_out != 0;
  font.lfUnderline = record.underline != 0;
  font.lfCharSet = DEFAULT_CHARSET;
  set_points(font, record.points);
  set_face_name(font, record.face_name);
  return font;
}

void change_font_attribute(LOGFONTA& font, int index, uint32_t low) {
  const auto value = static_cast<int32_t>(low);
  switch (index) {
    case 0:
      return set_angle(font, value);
    case 1:
      font.lfWeight = value != 0 ? FW_BOLD : FW_NORMAL;
      return;
    case 2:
      font.lfItalic = value != 0;
      return;
    case 3:
      font.lfStrikeOut = value != 0;
      return;
    case 4:
      font.lfUnderline = value != 0;
      return;
    case 5:
      return set_points(font, value);
    default:
      return set_face_name(font, as_pointer<char>(low));
  }
}

// The value as the kind takes it. `font` holds a converted font for the call.
PropertyValue value_for_kind(uint32_t type, int index, uint32_t low, uint32_t high, const KindDescriptor& kind,
                             UnitInstance& unit, int number, LOGFONTA& font) {
  PropertyValue value;
  if (is_word_type(type)) {
    value.low = type == kPropertyChoice && static_cast<int32_t>(low) < 0 ? 0 : low;
  } else if (type == kPropertyInt64 || type == 1004) {
    value.low = low;
    value.high = high;
  } else if (type == kPropertyBoolean) {
    value.low = low != 0;
  } else if (is_byte_array_type(type)) {
    const auto bytes = byte_array_bytes(as_pointer<uint8_t>(low));
    value.data = bytes.empty() ? nullptr : bytes.data();
    value.length = static_cast<uint32_t>(bytes.size());
  } else if (type == kPropertyFont) {
    if (index == kWholeValue) {
      const FontRecord* record = as_pointer<FontRecord>(low);
      font = record ? font_from_record(*record) : default_gui_font();
    } else {
      font = font_of(get_from_kind(kind, unit, number));
      change_font_attribute(font, index, low);
    }
    value.data = &font;
    value.length = sizeof font;
  } else {
    const char* text = as_pointer<char>(low);
    value.data = text ? text : "";
    value.length = static_cast<uint32_t>(std::strlen(static_cast<const char*>(value.data)));
  }
  return value;
}

// Numbers below 0 name no property at all.
void check_number(int number, uint32_t window_id, uint32_t unit_id) {
  if (number < 0) report("组件不具有所指定的属性", window_id, unit_id);
}

// A font is reached whole (-1) or by one of its seven attributes; any other index is
// outside it, as an array index would be.
void check_font_index(const KindProperty& property, int index, uint32_t window_id, uint32_t unit_id) {
  constexpr int kLastFontAttribute = 6;
  if (property.type == kPropertyFont && (index < kWholeValue || index > kLastFontAttribute)) {
    raise_runtime_error(1, static_cast<int32_t>(window_id), static_cast<int32_t>(unit_id));
  }
}

uint64_t read_on_this_thread(uint32_t window_id, uint32_t unit_id, int number, int index) {
  UnitAccess access = find_unit(window_id, unit_id);
  check_number(number, window_id, unit_id);
  if (number < kFirstKindProperty) return read_common(access.unit, number);
  if (!access.unit.is_live()) report("读取组件属性时发现指定窗口尚未载入", window_id, unit_id);
  const KindProperty property = kind_property_of(access, number, window_id, unit_id);
  check_font_index(property, index, window_id, unit_id);
  return value_from_kind(property.type, get_from_kind(*property.kind, access.unit, number), index);
}

void write_on_this_thread(uint32_t window_id, uint32_t unit_id, int number, int index, uint32_t low, uint32_t high) {
  UnitAccess access = find_unit(window_id, unit_id);
  check_number(number, window_id, unit_id);
  if (number < kFirstKindProperty) return write_common(access, number, low);
  if (!access.unit.is_live()) report("修改组件属性时发现指定窗口尚未载入", window_id, unit_id);
  const KindProperty property = kind_property_of(access, number, window_id, unit_id);
  check_font_index(property, index, window_id, unit_id);
  LOGFONTA font;
  const PropertyValue value =
      value_for_kind(property.type, index, low, high, *property.kind, access.unit, number, font);
  auto set = reinterpret_cast<SetPropertyFunction>(property.kind->interface_function(kRequestSetProperty));
  if (set == nullptr) return;
  const int answer = set(access.unit.object.get(), access.unit.object.get(), number - kFirstKindProperty, &value, 0);
  // A kind that cannot apply a value to its live unit asks for the unit to be made again.
  if (answer == kRebuildUnit && access.window.exists()) rebuild_unit(access.window, access.index);
}

// `work` with the native window of a created unit, on the window's thread; nothing
// for an unknown unit or one not created.
template <typename Work>
void with_live_unit(uint32_t window_id, uint32_t unit_id, Work work) {
  Application::instance().run_on_main_thread([&] {
    WindowRecord* window = Application::instance().windows().find(window_id);
    const auto index = window != nullptr ? window->find_record(unit_id) : std::nullopt;
    if (!index) return;
    const UnitInstance& unit = window->units()[*index];
    if (unit.is_live()) work(unit.hwnd());
  });
}

}  // namespace

uint64_t read_property(uint32_t window_id, uint32_t unit_id, int number, int index) {
  uint64_t value = 0;
  Application::instance().run_on_main_thread([&] { value = read_on_this_thread(window_id, unit_id, number, index); });
  return value;
}

void write_property(uint32_t window_id, uint32_t unit_id, int number, int index, uint32_t low, uint32_t high) {
  Application::instance().run_on_main_thread(
      [&] { write_on_this_thread(window_id, unit_id, number, index, low, high); });
}

// Focus belongs to the window's thread: SetFocus from another thread does nothing.
void focus_unit(uint32_t window_id, uint32_t unit_id) {
  with_live_unit(window_id, unit_id, [](HWND unit) {
    if (IsWindowVisible(unit)) SetFocus(unit);
  });
}

void set_accessible_role(uint32_t window_id, uint32_t unit_id, int32_t role) {
  with_live_unit(window_id, unit_id,
                 [role](HWND unit) { SendMessageA(unit, kMsgAccessibleRole, static_cast<WPARAM>(role), 0); });
}

}  // namespace frame
