#include "frame/window_table.h"

#include <algorithm>

#include "frame/unit_id.h"

namespace frame {
namespace {

HandlerAddress handler_at(const void* handler_base, uint32_t offset) {
  if (offset == kNoHandler || handler_base == nullptr) return nullptr;
  return static_cast<const uint8_t*>(handler_base) + offset;
}

}  // namespace

std::vector<std::vector<HandlerAddress>> resolve_handlers(const WindowSection& section, const void* handler_base) {
  std::vector<std::vector<HandlerAddress>> handlers;
  handlers.reserve(section.records.size());
  for (const UnitRecord& record : section.records) {
    std::vector<HandlerAddress> addresses;
    if (record.is_menu_item()) {
      addresses.push_back(handler_at(handler_base, record.menu_handler_offset));
    } else {
      for (const EventBinding& binding : record.bindings) {
        addresses.push_back(handler_at(handler_base, binding.handler_offset));
      }
    }
    handlers.push_back(std::move(addresses));
  }
  return handlers;
}

WindowRecord::WindowRecord(const WindowSection& section, std::vector<std::vector<HandlerAddress>> handlers)
    : section_(section), handlers_(std::move(handlers)) {}

std::optional<size_t> WindowRecord::find_record(uint32_t unit_id) const {
  const auto& records = section_.records;
  if (records.empty()) return std::nullopt;
  if (unit_id == 0 || unit_id == records.front().id) return 0;
  for (size_t i = 1; i < records.size(); ++i) {
    if (records[i].id == unit_id) return i;
  }
  return std::nullopt;
}

void WindowRecord::make_working_copy() {
  units_.clear();
  units_.resize(section_.records.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    const UnitRecord& record = section_.records[i];
    UnitInstance& unit = units_[i];
    unit.record = &record;
    unit.left = record.left;
    unit.top = record.top;
    unit.width = record.width;
    unit.height = record.height;
    unit.flags = record.flags;
    unit.tag = record.tag;
    unit.cursor_picture.assign(record.cursor_picture.begin(), record.cursor_picture.end());
  }
}

std::vector<UnitInstance>& WindowRecord::units() {
  if (units_.empty()) make_working_copy();
  return units_;
}

const UnitInstance* WindowRecord::unit_of(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  for (const UnitInstance& instance : units()) {
    if (instance.hwnd() == hwnd) return &instance;
  }
  return nullptr;
}

namespace {

// Calls `each(unit id, page)` for every entry of a container's page list; a 0
// entry ends a page.
template <typename Each>
void for_each_page_entry(const UnitRecord& container, Each each) {
  uint32_t page = 0;
  for (uint32_t entry : container.page_list) {
    if (entry == 0) {
      ++page;
    } else {
      each(entry, page);
    }
  }
}

uint32_t page_shown_by(const UnitInstance& container) {
  return container.object ? container.object->selected_page() : 0;
}

}  // namespace

bool WindowRecord::on_hidden_page(size_t index) {
  const uint32_t id = section_.records[index].id;
  bool hidden = false;
  for (const UnitInstance& container : units()) {
    for_each_page_entry(*container.record, [&](uint32_t entry, uint32_t page) {
      if (entry == id && page != page_shown_by(container)) hidden = true;
    });
  }
  return hidden;
}

void WindowRecord::show_selected_page(size_t container) {
  const UnitInstance& box = units()[container];
  for_each_page_entry(*box.record, [&](uint32_t entry, uint32_t page) {
    const auto index = find_record(entry);
    if (!index || *index == 0) return;
    const UnitInstance& unit = units_[*index];
    if (unit.hwnd() == nullptr) return;
    const bool shown = page == page_shown_by(box) && (unit.flags & 1) != 0 && !on_hidden_page(*index);
    ShowWindow(unit.hwnd(), shown ? SW_SHOW : SW_HIDE);
  });
}

void WindowRecord::release_objects() {
  // Units go first: the window object is the parent of their native windows.
  for (size_t i = units_.size(); i-- > 0;) units_[i].object.reset();
}

bool WindowRecord::end_modality() {
  for (HWND disabled : disabled_by_modality_) {
    if (IsWindow(disabled)) EnableWindow(disabled, TRUE);
  }
  disabled_by_modality_.clear();
  return std::exchange(modal_, false);
}

void WindowTable::append(std::unique_ptr<WindowRecord> window) {
  ids_.push_back(window->id());
  windows_.push_back(std::move(window));
}

WindowRecord* WindowTable::find(uint32_t window_id) const {
  auto it = std::find(ids_.begin(), ids_.end(), window_id);
  return it == ids_.end() ? nullptr : windows_[static_cast<size_t>(it - ids_.begin())].get();
}

bool WindowTable::any_window_exists() const {
  return std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->exists(); });
}

}  // namespace frame
