#include "services/registry_commands.h"

#include <windows.h>

#include <new>
#include <optional>
#include <string>

#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "services/registry_values.h"

namespace services {
namespace {

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

registry::ValueAddress value_address(const ServiceArguments& args) {
  return registry::address_of(root_key(args), args.text(1));
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

// A number as a 32-bit integer, a text, a byte array; any other type writes nothing.
bool write_value(const registry::ValueAddress& address, const ServiceArguments& args) {
  const TypedValue value = args.present(2) ? args.at(2) : TypedValue{};
  if (is_number(value.type))
    return registry::write_number(address, static_cast<uint32_t>(frame::numeric_to_int32(value).value_or(0)));
  if (value.type == frame::kTypeText) return registry::write_text(address, args.text(2));
  if (value.type == frame::kTypeByteArray)
    return registry::write_bytes(
        address, frame::byte_array_bytes(reinterpret_cast<const void*>(static_cast<uintptr_t>(value.low))));
  return false;
}

}  // namespace

TypedValue registry_exists_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    return TypedValue::of_bool(registry::exists(value_address(ServiceArguments(count, arguments))));
  });
}

// Running out of memory for a value is a failure like any other: the default.
TypedValue registry_read_text_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    try {
      const std::optional<std::string> text = registry::read_text(value_address(args));
      return text ? text_result(*text) : default_text(args);
    } catch (const std::bad_alloc&) {
      return default_text(args);
    }
  });
}

TypedValue registry_write_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return TypedValue::of_bool(write_value(value_address(args), args));
  });
}

}  // namespace services
