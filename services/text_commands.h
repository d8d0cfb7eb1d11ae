#pragma once
// The text services and the OR service, on the runtime-service convention. Texts
// they return are new frame-heap blocks the caller frees; an empty result is the
// null text. Running out of memory is the frame's allocation-failure error.
#include "services/service_convention.h"

namespace services {

// (text, find text, replacement?, start position?, replace count?, case-sensitive)
// -> the text with the occurrences replaced. An omitted replacement removes them.
TypedValue text_replace_service(uint32_t count, const TypedValue* arguments);

// (text, find text, start position?, case-insensitive) -> integer: the 1-based byte
// position of the last occurrence before the start, or -1.
TypedValue find_last_service(uint32_t count, const TypedValue* arguments);

// (text, count) -> the first count bytes of the text.
TypedValue left_part_service(uint32_t count, const TypedValue* arguments);

// (count) -> a text of count spaces.
TypedValue blank_text_service(uint32_t count, const TypedValue* arguments);

// (integer, ...) -> integer: the bitwise OR of the arguments' 32-bit values.
TypedValue or_service(uint32_t count, const TypedValue* arguments);

}  // namespace services
