#pragma once
// Data the build places into the executable's read-only section, read in place.
#include <cstdint>

extern "C" const uint8_t window_template_begin[];
extern "C" const uint8_t window_template_end[];
