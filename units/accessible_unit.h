#pragma once
// What our custom-drawn units tell assistive technology. A screen reader asks a
// window for its client object (WM_GETOBJECT, OBJID_CLIENT); the system's standard
// object for a window of a class it does not know says only "client" and knows no
// value, so each unit answers with an object of its own: its name (the window's
// text), role, state, value, default action and place, and everything else
// (parent, navigation, hit testing, IDispatch) from the standard object.
#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

#include <string>

#include "frame/com_ptr.h"

namespace units {

// How a unit presents itself beyond its window's text, place and state.
struct AccessibleLook {
  LONG role = ROLE_SYSTEM_CLIENT;
  LONG state = 0;               // bits beyond the window's own, such as STATE_SYSTEM_CHECKED
  std::wstring value;           // empty: the unit has no value
  std::wstring default_action;  // empty: none; carried out by posting BM_CLICK to the unit
};

class AccessibleSource {
 public:
  virtual AccessibleLook accessible_look() const = 0;

 protected:
  ~AccessibleSource() = default;
};

class AccessibleUnit;

// A unit's side of it. The object is made on the first request and cut off from the
// unit when the unit goes: a reader may hold it longer, and then hears that it is
// disconnected.
class AccessibleClient {
 public:
  explicit AccessibleClient(const AccessibleSource& source);
  AccessibleClient(const AccessibleClient&) = delete;
  AccessibleClient& operator=(const AccessibleClient&) = delete;
  ~AccessibleClient();

  // The answer to WM_GETOBJECT: the unit's object for OBJID_CLIENT; 0, which leaves
  // the system to answer, for any other object or when the object cannot be made.
  LRESULT answer_get_object(HWND hwnd, WPARAM wparam, LPARAM lparam);

 private:
  const AccessibleSource& source_;
  frame::com_ptr<AccessibleUnit> object_;
};

}  // namespace units
