#include "services/registry_commands.h"

#include <windows.h>

#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "frame/owned_handle.h"
#include "services/gbk_path.h"

namespace services {
namespace {

using frame::OwnedKey;

HKEY root_key(const ServiceArguments& args) {
  const std::optional<int32_t> number = args.present(0) ? frame::numeric_to_int32(args.at(0)) : std::nullopt;
  switch (number.value_or(0)) {
    case 1:
      return HKEY_CLASSES_ROOT;
    case 2:
      return HKEY_CURRENT_CONFIG;
    case 4:
      return HKEY_LOCAL_MACHINE;
    case 5:
      return HKEY_USERS;
    default:
      return HKEY_CURRENT_USER;
  }
}

// The Win32 calls want zero-terminated texts, so both parts are copied out.
struct ValueAddress {
  HKEY root;
  std::string key_path;
  std::string value_name;
};

ValueAddress value_address(const ServiceArguments& args) {
  const PathParts parts = split_at_last_backslash(args.text(1));
  return {root_key(args), std::string(parts.parent), std::string(parts.last)};
}

OwnedKey open_key(const ValueAddress& address, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(address.root, address.key_path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
  return OwnedKey(key);
}

// For an empty path RegCreateKeyA hands back the predefined root itself, which
// RegCloseKey leaves alone, so owning it is harmless.
OwnedKey open_or_create_key(const ValueAddress& address) {
  if (OwnedKey key = open_key(address, KEY_WRITE)) return key;
  HKEY key = nullptr;
  if (RegCreateKeyA(address.root, address.key_path.c_str(), &key) != ERROR_SUCCESS) return {};
  return OwnedKey(key);
}

struct ValueShape {
  DWORD type = REG_NONE;
  DWORD size = 0;
};

std::optional<ValueShape> query_shape(HKEY key, const std::string& name) {
  ValueShape shape;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &shape.type, nullptr, &shape.size) != ERROR_SUCCESS) return {};
  return shape;
}

// One byte more than reported and zero-filled, so a value stored without its
// terminating zero still ends.
std::optional<std::string> query_text(HKEY key, const std::string& name, DWORD size) {
  std::vector<char> data(size + 1, '\0');
  DWORD read = size;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &read) !=
      ERROR_SUCCESS)
    return {};
  return std::string(data.data());
}

std::optional<std::string> expanded(const std::string& text) {
  const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<char> buffer(size + 1, '\0');
  if (ExpandEnvironmentStringsA(text.c_str(), buffer.data(), size) == 0) return {};
  return std::string(buffer.data());
}

// The key is closed before the expansion, as soon as the data is in hand.
std::optional<std::string> read_text_value(const ValueAddress& address) {
  OwnedKey key = open_key(address, KEY_READ);
  if (!key) return {};
  const std::optional<ValueShape> shape = query_shape(key.get(), address.value_name);
  if (!shape || (shape->type != REG_SZ && shape->type != REG_EXPAND_SZ)) return {};
  std::optional<std::string> text = query_text(key.get(), address.value_name, shape->size);
  key.reset();
  if (!text || shape->type == REG_SZ) return text;
  return expanded(*text);
}

TypedValue default_text(const ServiceArguments& args) { return text_result(args.present(2) ? args.text(2) : ""); }

bool is_number(uint32_t type) {
  switch (type) {
    case frame::kTypeByte:
    case frame::kTypeShort:
    case frame::kTypeInt:
    case frame::kTypeInt64:
    case frame::kTypeFloat:
    case frame::kTypeDouble:
      return true;
    default:
      return false;
  }
}

bool set_value(HKEY key, const std::string& name, DWORD type, std::span<const uint8_t> data) {
  return RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool set_number(HKEY key, const std::string& name, const TypedValue& value) {
  const DWORD number = static_cast<DWORD>(frame::numeric_to_int32(value).value_or(0));
  return set_value(key, name, REG_DWORD, {reinterpret_cast<const uint8_t*>(&number), sizeof number});
}

// The stored data carries the text's terminating zero.
bool set_text(HKEY key, const std::string& name, std::string_view text) {
  const std::string terminated(text);
  const auto* bytes = reinterpret_cast<const uint8_t*>(terminated.c_str());
  return set_value(key, name, REG_SZ, {bytes, terminated.size() + 1});
}

bool set_bytes(HKEY key, const std::string& name, const TypedValue& value) {
  const void* array = reinterpret_cast<const void*>(static_cast<uintptr_t>(value.low));
  return set_value(key, name, REG_BINARY, frame::byte_array_bytes(array));
}

bool store_value(HKEY key, const std::string& name, const ServiceArguments& args) {
  const TypedValue value = args.present(2) ? args.at(2) : TypedValue{};
  if (is_number(value.type)) return set_number(key, name, value);
  if (value.type == frame::kTypeText) return set_text(key, name, args.text(2));
  if (value.type == frame::kTypeByteArray) return set_bytes(key, name, value);
  return false;
}

}  // namespace

TypedValue registry_exists_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ValueAddress address = value_address(ServiceArguments(count, arguments));
    const OwnedKey key = open_key(address, KEY_READ);
    return TypedValue::of_bool(key && query_shape(key.get(), address.value_name).has_value());
  });
}

// Running out of memory for a value is a failure like any other: the default.
TypedValue registry_read_text_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    try {
      const std::optional<std::string> text = read_text_value(value_address(args));
      return text ? text_result(*text) : default_text(args);
    } catch (const std::bad_alloc&) {
      return default_text(args);
    }
  });
}

TypedValue registry_write_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const ValueAddress address = value_address(args);
    const OwnedKey key = open_or_create_key(address);
    return TypedValue::of_bool(key && store_value(key.get(), address.value_name, args));
  });
}

}  // namespace services
