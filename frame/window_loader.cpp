#include "frame/window_loader.h"

#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "frame/application.h"
#include "frame/events.h"
#include "frame/frame_heap.h"

namespace frame {
namespace {

constexpr UINT kFirstControlId = 100;
constexpr UINT kControlIdStep = 10;
constexpr int kWindowEventCreated = 0;
constexpr int kWindowEventMoved = 3;
constexpr int kWindowEventResized = 4;

// Keeps events from reaching routines while a window or a unit is half built, with
// pending messages pumped on the way in and out: a window load pumps before events
// flow again, a unit rebuild once they flow.
class EventPause {
 public:
  enum class PumpAtEnd { before_release, after_release };

  explicit EventPause(PumpAtEnd pump_at_end) : pump_at_end_(pump_at_end) {
    Application::instance().pump_pending_messages();
    Application::instance().suppress_events();
  }
  ~EventPause() {
    if (pump_at_end_ == PumpAtEnd::before_release) Application::instance().pump_pending_messages();
    Application::instance().release_events();
    if (pump_at_end_ == PumpAtEnd::after_release) Application::instance().pump_pending_messages();
  }
  EventPause(const EventPause&) = delete;
  EventPause& operator=(const EventPause&) = delete;

 private:
  PumpAtEnd pump_at_end_;
};

CreateFunction create_function_of(const UnitRecord& record, DWORD& extra_style) {
  const KindDescriptor* kind = Application::instance().kind_descriptor(record.kind);
  if (kind == nullptr || kind->interface_function == nullptr) return nullptr;
  extra_style = 0;
  if ((kind->state_flags & kKindNeverStartsVisible) == 0) {
    if (record.disabled()) extra_style |= WS_DISABLED;
    if (record.tab_stop()) extra_style |= WS_TABSTOP;
  }
  return reinterpret_cast<CreateFunction>(kind->interface_function(kRequestCreate));
}

// The object of record `index` made from `data` (its kind data) at `place`.
std::unique_ptr<UnitObject> make_unit(const WindowRecord& window, const UnitRecord& record, HWND parent, HWND owner,
                                      UINT control_id, std::span<const uint8_t> data, const RECT& place) {
  DWORD extra_style = 0;
  CreateFunction create = create_function_of(record, extra_style);
  if (create == nullptr) return nullptr;
  const CreateParams params{parent,
                            data.data(),
                            static_cast<uint32_t>(data.size()),
                            extra_style,
                            owner,
                            control_id,
                            nullptr,
                            place.left,
                            place.top,
                            place.right - place.left,
                            place.bottom - place.top,
                            window.id(),
                            record.id};
  return std::unique_ptr<UnitObject>(create(params));
}

bool create_unit(WindowRecord& window, size_t index, HWND parent, HWND owner, UINT control_id) {
  UnitInstance& unit = window.units()[index];
  const RECT place = {unit.left, unit.top, unit.left + unit.width, unit.top + unit.height};
  unit.object = make_unit(window, *unit.record, parent, owner, control_id, unit.record->kind_data, place);
  return unit.object != nullptr && unit.object->is_live();
}

// The window first, then its units from the last record to the first.
bool create_window_and_units(WindowRecord& window, HWND owner) {
  auto& units = window.units();
  if (!create_unit(window, 0, nullptr, owner, 0)) return false;
  const HWND hwnd = window.hwnd();
  UINT control_id = kFirstControlId;
  for (size_t i = units.size(); i-- > 1;) {
    // Menu items are kept for the menu's builder; they are no units.
    if (units[i].record->is_menu_item()) continue;
    if (!create_unit(window, i, hwnd, hwnd, control_id)) return false;
    control_id += kControlIdStep;
  }
  return true;
}

HWND parent_window_of(WindowRecord& window, const UnitRecord& record) {
  if (record.parent != 0) {
    auto parent = window.find_record(record.parent);
    if (parent && *parent != 0 && window.units()[*parent].hwnd() != nullptr) return window.units()[*parent].hwnd();
  }
  return window.hwnd();
}

// Earlier records lie above later ones among units of the same parent. Each unit
// is moved only where it is not already in place: every move is a round trip to
// Wine's server, and this runs before the window is first shown.
void link_parents_and_order(WindowRecord& window) {
  auto& units = window.units();
  for (size_t i = 1; i < units.size(); ++i) {
    const HWND hwnd = units[i].hwnd();
    if (hwnd == nullptr) continue;
    const HWND parent = parent_window_of(window, *units[i].record);
    if (GetParent(hwnd) != parent) SetParent(hwnd, parent);
    HWND above = nullptr;
    for (size_t j = i - 1; j >= 1; --j) {
      if (units[j].hwnd() != nullptr && units[j].record->parent == units[i].record->parent) {
        above = units[j].hwnd();
        break;
      }
    }
    if (GetWindow(hwnd, GW_HWNDPREV) == above) continue;
    SetWindowPos(hwnd, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// Menu items and windowless units have no window to tell.
void send_to_units(WindowRecord& window, UINT message) {
  auto& units = window.units();
  for (size_t i = units.size(); i-- > 1;) {
    if (units[i].hwnd() != nullptr) SendMessageA(units[i].hwnd(), message, 0, 0);
  }
}

// Units on a container's pages other than the one it shows start hidden.
void show_units_by_visible_bit(WindowRecord& window) {
  auto& units = window.units();
  for (size_t i = 1; i < units.size(); ++i) {
    if (units[i].hwnd() == nullptr) continue;
    const bool shown = (units[i].flags & 1) != 0 && !window.on_hidden_page(i);
    ShowWindow(units[i].hwnd(), shown ? SW_SHOWNA : SW_HIDE);
  }
}

void raise_creation_events(WindowRecord& window) {
  for (int event : {kWindowEventCreated, kWindowEventMoved, kWindowEventResized}) {
    if (!window.exists()) return;
    raise_event(window.id(), 0, event);
  }
}

// The template's other top-level windows that are enabled now, disabled until the
// modal window closes.
std::vector<HWND> disable_other_windows(const WindowRecord& modal_window) {
  std::vector<HWND> disabled;
  for (const auto& other : Application::instance().windows().windows()) {
    if (other.get() == &modal_window || !other->exists()) continue;
    const HWND hwnd = other->hwnd();
    if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0 || !IsWindowEnabled(hwnd)) continue;
    EnableWindow(hwnd, FALSE);
    disabled.push_back(hwnd);
  }
  return disabled;
}

void bring_forward(HWND hwnd) {
  if (IsIconic(hwnd)) {
    ShowWindow(hwnd, SW_RESTORE);
  } else {
    SetActiveWindow(hwnd);
  }
}

// The unit's property block as its kind saves it now.
std::vector<uint8_t> saved_block(const UnitInstance& unit) {
  const KindDescriptor* kind = Application::instance().kind_descriptor(unit.record->kind);
  auto save =
      kind != nullptr ? reinterpret_cast<SaveBlockFunction>(kind->interface_function(kRequestSaveBlock)) : nullptr;
  if (save == nullptr) return {};
  const HeapBlock<uint8_t> saved(save(unit.object.get()));
  const std::span<const uint8_t> bytes = byte_array_bytes(saved.get());
  return {bytes.begin(), bytes.end()};
}

RECT place_in_parent(HWND hwnd, HWND parent) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The native windows of the window's units that lie directly in `old` move into `fresh`.
void move_children(WindowRecord& window, HWND old, HWND fresh) {
  for (const UnitInstance& unit : window.units()) {
    if (unit.hwnd() != nullptr && GetParent(unit.hwnd()) == old) SetParent(unit.hwnd(), fresh);
  }
}

}  // namespace

bool rebuild_unit(WindowRecord& window, size_t index) {
  UnitInstance& unit = window.units()[index];
  const HWND old = unit.hwnd();
  if (index == 0 || old == nullptr || !IsWindow(old)) return false;
  const std::vector<uint8_t> block = saved_block(unit);
  if (block.empty()) return false;

  const EventPause pause(EventPause::PumpAtEnd::after_release);
  const HWND parent = GetParent(old);
  const HWND focus = GetFocus();
  const bool had_focus = focus == old || IsChild(old, focus);
  const bool shown = (GetWindowLongA(old, GWL_STYLE) & WS_VISIBLE) != 0;
  std::unique_ptr<UnitObject> fresh =
      make_unit(window, *unit.record, window.hwnd(), window.hwnd(), static_cast<UINT>(GetDlgCtrlID(old)), block,
                place_in_parent(old, parent));
  if (fresh == nullptr || fresh->hwnd() == nullptr) return false;
  const HWND made = fresh->hwnd();
  if (GetParent(made) != parent) SetParent(made, parent);
  move_children(window, old, made);
  SetWindowPos(made, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(made, kMsgUnitCreated, 0, 0);
  ShowWindow(made, shown ? SW_SHOWNA : SW_HIDE);
  SendMessageA(made, kMsgUnitLoaded, 0, 0);
  // The old object lives until its window is gone: its window procedure runs to the end.
  std::unique_ptr<UnitObject> replaced = std::exchange(unit.object, std::move(fresh));
  DestroyWindow(old);
  replaced.reset();
  if (had_focus) SetFocus(made);
  return true;
}

bool create_window(WindowRecord& window, bool show, bool modal, HWND owner) {
  // Building it again would drop unit objects its live windows still point at.
  if (window.exists()) {
    if (show) ShowWindow(window.hwnd(), SW_SHOW);
    bring_forward(window.hwnd());
    return true;
  }
  if (modal) owner = nullptr;
  if (owner != nullptr && !IsWindow(owner)) return false;

  const HWND focused = GetFocus();
  {
    const EventPause pause(EventPause::PumpAtEnd::before_release);
    window.make_working_copy();
    if (!create_window_and_units(window, owner)) {
      if (window.exists()) DestroyWindow(window.hwnd());
      window.release_objects();
      return false;
    }
    link_parents_and_order(window);
    send_to_units(window, kMsgUnitCreated);
    SendMessageA(window.hwnd(), kMsgWindowUnitsReady, 0, 0);
    show_units_by_visible_bit(window);
  }
  raise_creation_events(window);
  // A creation handler may close its own window: creation still succeeded, and the
  // message loop then finds no window and ends normally.
  if (!window.exists()) return true;
  if (show || (window.units().front().flags & 1) != 0) ShowWindow(window.hwnd(), SW_SHOW);
  if (modal) window.begin_modality(disable_other_windows(window));
  send_to_units(window, kMsgUnitLoaded);
  if (focused != nullptr && IsWindow(focused)) SetFocus(focused);
  window.loaded = true;
  return true;
}

}  // namespace frame
