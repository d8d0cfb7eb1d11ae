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

}  // namespace frame
