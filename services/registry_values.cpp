#include "services/registry_values.h"

#include <vector>

#include "frame/gbk_wide.h"
#include "frame/owned_handle.h"
#include "services/gbk_path.h"

namespace services::registry {
namespace {

using frame::OwnedKey;

OwnedKey open_key(const ValueAddress& address, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(address.root, address.key_path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
  return OwnedKey(key);
}

// For an empty path RegCreateKeyW hands back the predefined root itself, which
// RegCloseKey leaves alone, so owning it is harmless.
OwnedKey open_or_create_key(const ValueAddress& address) {
  if (OwnedKey key = open_key(address, KEY_WRITE)) return key;
  HKEY key = nullptr;
  if (RegCreateKeyW(address.root, address.key_path.c_str(), &key) != ERROR_SUCCESS) return {};
  return OwnedKey(key);
}

struct ValueShape {
  DWORD type = REG_NONE;
  DWORD size = 0;
};

std::optional<ValueShape> query_shape(HKEY key, const std::wstring& name) {
  ValueShape shape;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &shape.type, nullptr, &shape.size) != ERROR_SUCCESS) return {};
  return shape;
}

// One character more than reported and zero-filled, so a value stored without its
// terminating zero, or with an odd length, still ends.
std::optional<std::wstring> query_text(HKEY key, const std::wstring& name, DWORD size) {
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
  DWORD read = size;
  if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &read) !=
      ERROR_SUCCESS)
    return {};
  return std::wstring(data.data());
}

std::optional<std::wstring> expanded(const std::wstring& text) {
  const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<wchar_t> buffer(size + 1, L'\0');
  if (ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size) == 0) return {};
  return std::wstring(buffer.data());
}

bool set_value(HKEY key, const std::wstring& name, DWORD type, std::span<const uint8_t> data) {
  return RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

// Opens or creates the value's key and stores `data` as `type` under its name.
bool store(const ValueAddress& address, DWORD type, std::span<const uint8_t> data) {
  const OwnedKey key = open_or_create_key(address);
  return key && set_value(key.get(), address.value_name, type, data);
}

}  // namespace

ValueAddress address_of(HKEY root, std::string_view path) {
  const PathParts parts = split_at_last_backslash(path);
  return {root, frame::wide_from_gbk(parts.parent), frame::wide_from_gbk(parts.last)};
}

bool exists(const ValueAddress& address) {
  const OwnedKey key = open_key(address, KEY_READ);
  return key && query_shape(key.get(), address.value_name).has_value();
}

// The key is closed before the expansion, as soon as the data is in hand.
std::optional<std::string> read_text(const ValueAddress& address) {
  OwnedKey key = open_key(address, KEY_READ);
  if (!key) return {};
  const std::optional<ValueShape> shape = query_shape(key.get(), address.value_name);
  if (!shape || (shape->type != REG_SZ && shape->type != REG_EXPAND_SZ)) return {};
  std::optional<std::wstring> text = query_text(key.get(), address.value_name, shape->size);
  key.reset();
  if (text && shape->type == REG_EXPAND_SZ) text = expanded(*text);
  if (!text) return {};
  return frame::gbk_from_wide_or_marked(*text);
}

bool write_number(const ValueAddress& address, uint32_t number) {
  return store(address, REG_DWORD, {reinterpret_cast<const uint8_t*>(&number), sizeof number});
}

// The stored data carries the text's terminating zero.
bool write_text(const ValueAddress& address, std::string_view text) {
  const std::wstring terminated = frame::wide_from_gbk(text);
  return store(address, REG_SZ,
               {reinterpret_cast<const uint8_t*>(terminated.c_str()), (terminated.size() + 1) * sizeof(wchar_t)});
}

bool write_bytes(const ValueAddress& address, std::span<const uint8_t> bytes) {
  return store(address, REG_BINARY, bytes);
}

}  // namespace services::registry
