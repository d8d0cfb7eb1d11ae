#pragma once
// Typed values to VARIANTs and back, for the automation dispatcher.
#include <windows.h>
// After windows.h, which it needs.
#include <oaidl.h>

#include <optional>

#include "services/com_object.h"

namespace services {

// A new ObjectRecord on the frame heap holding `object` (AddRef'd; null is empty).
ObjectRecord* new_object_record(IUnknown* object);
// Releases the held object and record data; the record itself stays.
void clear_object_record(ObjectRecord& record);

// The value a by-reference argument's variable holds, as if passed by value.
TypedValue dereferenced(const TypedValue& value);

// `value` (by value) as a VARIANT for a parameter expecting `expected` (no VT_BYREF).
// False for a type automation cannot carry.
bool variant_of_value(const TypedValue& value, VARTYPE expected, VARIANT* out);

// `variant` as a value of `type` (no kByReference); texts and records it makes are new
// frame-heap blocks. Nothing when it cannot be converted.
std::optional<TypedValue> value_of_variant(const VARIANT& variant, uint32_t type);

// Stores `value` in the variable a by-reference argument points to, freeing the text
// or releasing the object held there before.
void write_back(const TypedValue& reference, const TypedValue& value);

}  // namespace services
