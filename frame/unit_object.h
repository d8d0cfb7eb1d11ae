#pragma once
// The run-time object of a created unit. The frame owns it (one per record of a
// window's working copy) for as long as that window exists; the kind owns the native
// window behind it.
#include <windows.h>

#include <cstdint>

namespace frame {

// Private messages that tie the frame and the units together.
enum PrivateMessage : UINT {
  kMsgObjectOfWindow = 0x8002,    // answers the UnitObject* behind a window of ours
  kMsgWindowUnitsReady = 0x8004,  // sent to a window once its units exist
  kMsgUnitCreated = 0x806F,       // sent to every unit once all exist
  kMsgUnitLoaded = 0x8076,        // sent to every unit once the window is shown
  kMsgCloseRequest = 0x8065,      // posted by the close-window service
  kMsgPaintInto = 0x8389,         // paint the background into a given device context
  kMsgEndProgram = 0x83E7,        // asks the main thread to end the program
  kMsgRunOnMainThread = 0x83F0,   // runs a piece of work for another thread
  kMsgAccessibleRole = 0x83F1,    // the role (wparam) a unit presents to assistive technology
};

constexpr LRESULT kPaintIntoAnswer = 20141111;

class UnitObject {
 public:
  UnitObject() = default;
  UnitObject(const UnitObject&) = delete;
  UnitObject& operator=(const UnitObject&) = delete;
  virtual ~UnitObject() = default;

  HWND hwnd() const { return hwnd_; }
  // Called by the kind's window procedure when its native window is made and gone.
  void bind_window(HWND hwnd) { hwnd_ = hwnd; }
  // A unit of a kind without a window is live for as long as its object exists.
  bool is_live() const { return windowless() || (hwnd_ != nullptr && IsWindow(hwnd_)); }
  virtual bool windowless() const { return false; }

  // The frame offers each message to the objects from its target window up to the
  // top-level window before dispatching it; true means it was handled.
  virtual bool pre_translate_message(MSG&) { return false; }
  // The colour pictures on this unit are blended with; units on a window take the
  // window's.
  virtual COLORREF background_colour() const { return GetSysColor(COLOR_BTNFACE); }
  // Idle time for top-level windows; true asks for more.
  virtual bool on_idle(uint32_t /*elapsed_ms*/) { return false; }
  // For a container with pages: the page it shows, counted from 0.
  virtual uint32_t selected_page() const { return 0; }

 protected:
  HWND hwnd_ = nullptr;
};

}  // namespace frame
