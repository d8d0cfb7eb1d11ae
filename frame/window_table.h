#pragma once
// The windows of the template, as the frame keeps them for the life of the process:
// each window's parsed section, the handler addresses of its bindings, and the
// working copy of its unit table that lives while the window exists.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/template_format.h"
#include "frame/unit_object.h"

namespace frame {

using HandlerAddress = const void*;

// One record of a window's working copy: the values written at run time and the
// object created for it.
struct UnitInstance {
  const UnitRecord* record = nullptr;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t flags = 0;
  std::string tag;
  std::vector<uint8_t> cursor_picture;
  std::unique_ptr<UnitObject> object;

  bool is_live() const { return object != nullptr && object->is_live(); }
  HWND hwnd() const { return object ? object->hwnd() : nullptr; }
  // Live, with a native window to move, show or ask (a windowless unit has none).
  bool has_window() const { return is_live() && hwnd() != nullptr; }
};

class WindowRecord {
 public:
  WindowRecord(const WindowSection& section, std::vector<std::vector<HandlerAddress>> handlers);

  uint32_t id() const { return section_.id; }
  const WindowSection& section() const { return section_; }
  // Handler addresses of record `index`, parallel to its bindings (one for a menu item).
  const std::vector<HandlerAddress>& handlers(size_t index) const { return handlers_[index]; }

  // Index of a record by unit id; 0 and the window's own record id give 0.
  std::optional<size_t> find_record(uint32_t unit_id) const;

  // The working copy: made from the template when first needed and anew each time
  // the window is created; values written while the window does not exist are kept
  // there until then.
  std::vector<UnitInstance>& units();
  void make_working_copy();
  // Drops the unit objects once the native windows are gone.
  void release_objects();

  // Whether record `index` lies on a page of a container other than the page the
  // container shows; such a unit stays hidden whatever its visible bit. Only
  // containers with pages have a page list in the template.
  bool on_hidden_page(size_t index);
  // Shows the units on the page `container` shows that are marked visible, and hides
  // those on its other pages.
  void show_selected_page(size_t container);

  UnitInstance* window_unit() { return units_.empty() ? nullptr : &units_.front(); }
  // The unit of the working copy whose native window is `hwnd`, the window's own
  // included; null for no handle or a window of no unit here.
  const UnitInstance* unit_of(HWND hwnd);
  HWND hwnd() const { return units_.empty() ? nullptr : units_.front().hwnd(); }
  bool exists() const { return !units_.empty() && units_.front().is_live(); }

  // Set by the close-window service: only a marked window obeys a close request, so
  // a stray posted message closes nothing.
  void mark_closing() { closing_ = true; }
  bool take_closing_mark() { return std::exchange(closing_, false); }

  // A modal window disables the template's other top-level windows while it
  // exists; it gives back exactly those it disabled.
  void begin_modality(std::vector<HWND> disabled) {
    modal_ = true;
    disabled_by_modality_ = std::move(disabled);
  }
  // Re-enables what this window disabled; true when it was modal.
  bool end_modality();

  bool loaded = false;

 private:
  bool closing_ = false;
  bool modal_ = false;
  std::vector<HWND> disabled_by_modality_;
  const WindowSection& section_;
  std::vector<std::vector<HandlerAddress>> handlers_;
  std::vector<UnitInstance> units_;
};

class WindowTable {
 public:
  void append(std::unique_ptr<WindowRecord> window);
  WindowRecord* find(uint32_t window_id) const;
  bool any_window_exists() const;
  const std::vector<std::unique_ptr<WindowRecord>>& windows() const { return windows_; }

 private:
  std::vector<uint32_t> ids_;
  std::vector<std::unique_ptr<WindowRecord>> windows_;
};

// Turns the stored binding offsets of every record into handler addresses.
std::vector<std::vector<HandlerAddress>> resolve_handlers(const WindowSection& section, const void* handler_base);

}  // namespace frame
