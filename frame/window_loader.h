#pragma once
// Creating a template window and all its units from the window's record.
#include <windows.h>

#include "frame/window_table.h"

namespace frame {

// False when the window or one of its units could not be made. A non-zero `show`
// makes the window visible whatever its visible bit; an already existing window is
// only brought forward. The window's creation handlers may have closed it again by
// the time this returns true.
bool create_window(WindowRecord& window, bool show, bool modal, HWND owner);

// Makes unit `index` (not the window's own record) again from the property block its
// kind saves now, where the old one was: the same parent, place, stacking,
// visibility and control id, its child units moved over and the focus kept. No
// event is delivered meanwhile. False, with the old unit kept, when it cannot be.
bool rebuild_unit(WindowRecord& window, size_t index);

}  // namespace frame
