// Scoped GDI helpers for the drawing side: a memory device context that puts back
// the bitmap it was given, and saved target colours.
#pragma once

#include <windows.h>

#include <utility>

namespace pictures {

class MemoryDc {
 public:
  MemoryDc(HDC compatible_with, HBITMAP bitmap) : dc_(CreateCompatibleDC(compatible_with)) {
    if (dc_ && bitmap) previous_ = SelectObject(dc_, bitmap);
  }
  ~MemoryDc() {
    if (previous_) SelectObject(dc_, previous_);
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr && previous_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
};

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
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

}  // namespace pictures
