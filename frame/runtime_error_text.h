#pragma once
// The text of a run-time error box. Kept free of Win32 so it is tested on the host.
#include <cstdint>
#include <string>
#include <string_view>

namespace frame {

struct WindowTemplate;

// Message table of the numbered run-time errors (index 1 to 11); null outside it.
const char* runtime_error_message(int index);

// "运行时出错!" with the optional code and message lines, then the detail: the two
// numbers, and when the first names a window, that window and the unit named by the
// second as the template knows them.
std::string compose_runtime_error_text(std::string_view message, int code, int32_t a, int32_t b,
                                       const WindowTemplate* windows);

}  // namespace frame
