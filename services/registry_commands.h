#pragma once
// The registry existence, read-text and write services, on the runtime-service
// convention, over the typed core in services/registry_values.h. Each addresses one value by a root number (1
// HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_CONFIG, 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS, anything else HKEY_CURRENT_USER) and a
// path whose part after the last backslash is the value name; an empty name is the key's default value, a path without
// a backslash names a value of the root key itself. None of them raises a run-time error.
#include "services/service_convention.h"

namespace services {

// (root, path) -> logical: whether the value exists and can be read.
TypedValue registry_exists_service(uint32_t count, const TypedValue* arguments);

// (root, path, default?) -> text: a REG_SZ value's text, a REG_EXPAND_SZ value's
// text with its environment references expanded; for any other value type, a
// missing value or any failure, a copy of the default (omitted: the empty text).
TypedValue registry_read_text_service(uint32_t count, const TypedValue* arguments);

// (root, path, value) -> logical: creates every missing key on the path, then
// stores a number as REG_DWORD (converted to a 32-bit integer), a text as REG_SZ
// with its terminating zero, a byte array as REG_BINARY. Any other value type
// creates and writes nothing and gives false, as does any failure.
TypedValue registry_write_service(uint32_t count, const TypedValue* arguments);

}  // namespace services
