// Scopes for drawing: a paint that ends however the routine leaves, an object
// selected into a device context until the scope ends, a memory device context
// that gives back what it was given, and saved target colours.
#pragma once

#include <windows.h>

#include <utility>

#include "frame/owned_handle.h"

namespace frame {

// The one place a window's paint begins and ends. The end comes even when there
// was nothing to draw: it is what validates the area.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
  ~PaintScope() { EndPaint(hwnd_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC dc() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects `object` into `dc` and puts back what it replaced. A failed selection
// (a null device context or object) restores nothing and tests false.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~SelectGuard() { restore(); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  SelectGuard(SelectGuard&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
  SelectGuard& operator=(SelectGuard&& other) noexcept {
    restore();
    dc_ = std::exchange(other.dc_, nullptr);
    previous_ = std::exchange(other.previous_, nullptr);
    return *this;
  }

  explicit operator bool() const { return previous_ != nullptr; }

 private:
  void restore() {
    if (previous_) SelectObject(dc_, std::exchange(previous_, nullptr));
  }

  HDC dc_;
  HGDIOBJ previous_;
};

// A device context compatible with `compatible_with` (nullptr: the screen) holding
// `bitmap`; the bitmap is selected out before the context is deleted.
class MemoryDc {
 public:
  MemoryDc(HDC compatible_with, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(compatible_with)), selected_(dc_.get(), bitmap) {}

  HDC get() const { return dc_.get(); }
  explicit operator bool() const { return dc_ && selected_; }

 private:
  OwnedDc dc_;
  SelectGuard selected_;  // declared last: restored before dc_ goes
};

// Background and text colours of a device context, put back on leaving.
class SavedColours {
 public:
  SavedColours(HDC dc, COLORREF background, COLORREF text)
      : dc_(dc), background_(SetBkColor(dc, background)), text_(SetTextColor(dc, text)) {}
  ~SavedColours() {
    SetBkColor(dc_, background_);
    SetTextColor(dc_, text_);
  }
  SavedColours(const SavedColours&) = delete;
  SavedColours& operator=(const SavedColours&) = delete;

 private:
  HDC dc_;
  COLORREF background_, text_;
};

}  // namespace frame
