#pragma once
// A window's shape as a GDI region, for SetWindowRgn.
#include <windows.h>

#include <cstdint>

#include "frame/owned_handle.h"

namespace units {

// The region of `shape` over a window of this outer size, in window coordinates;
// empty for the plain rectangle (no region at all) or when GDI refuses.
frame::OwnedRegion make_shape_region(uint32_t shape, int width, int height);

}  // namespace units
