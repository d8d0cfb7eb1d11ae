#pragma once
// Typed registry access, the core of the registry services: one value, addressed
// by a root key and a GBK path whose part after the last backslash is the value
// name (an empty name is the key's default value; a path without a backslash names
// a value of the root itself). Names and texts go to the registry as UTF-16, so
// they read the same whatever code page Windows runs with, and texts come back as
// GBK. Nothing here raises a run-time error.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace services::registry {

// Both parts are kept as zero-terminated UTF-16 texts for the Win32 calls.
struct ValueAddress {
  HKEY root;
  std::wstring key_path;
  std::wstring value_name;
};

ValueAddress address_of(HKEY root, std::string_view path);

// Whether the value exists and can be read.
bool exists(const ValueAddress& address);

// A REG_SZ value's text, a REG_EXPAND_SZ value's text with its environment
// references expanded; nothing for any other type or any failure. A character that
// GBK cannot hold comes back as '?'.
std::optional<std::string> read_text(const ValueAddress& address);

// Each creates every missing key on the path, then stores the value: a REG_DWORD,
// a REG_SZ (UTF-16) with its terminating zero, a REG_BINARY. False on any failure.
bool write_number(const ValueAddress& address, uint32_t number);
bool write_text(const ValueAddress& address, std::string_view text);
bool write_bytes(const ValueAddress& address, std::span<const uint8_t> bytes);

}  // namespace services::registry
