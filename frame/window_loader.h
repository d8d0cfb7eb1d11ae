#pragma once
// Creating a template window and all its units from the window's record.
#include <windows.h>

#include "frame/window_table.h"

namespace frame {

// True when the window exists afterwards. A non-zero `show` makes the window visible
// whatever its visible bit; an already existing window is only brought forward.
bool create_window(WindowRecord& window, bool show, bool modal, HWND owner);

}  // namespace frame
