#pragma once
// The frame's one fatal path: a message box that says what went wrong and where,
// then an orderly shutdown and exit code -1. Nothing here returns.
#include <cstdint>

namespace frame {

// Message and location as given; code 0 shows no code line. Numbers A and B locate
// the error: a routine and a code offset, or a window id and a unit id.
[[noreturn]] void report_runtime_error(const char* message, int code, int32_t a, int32_t b);

// One of the numbered run-time errors; the index is shown as the code.
[[noreturn]] void raise_runtime_error(int index, int32_t a, int32_t b);

}  // namespace frame
