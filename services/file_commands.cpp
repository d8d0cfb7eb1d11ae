#include "services/file_commands.h"

#include <span>
#include <string>
#include <vector>

#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "services/files.h"

namespace services {
namespace {

const char* pointer_of(const TypedValue& value) {
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(value.low));
}

// The text of an argument that may be omitted; null when it is.
const char* optional_text(const ServiceArguments& args, uint32_t index) {
  return args.present(index) ? pointer_of(args.at(index)) : nullptr;
}

// Callers pass an empty text, never a null one; a null one is treated alike.
std::string path_text(const ServiceArguments& args, uint32_t index) { return std::string(args.text(index)); }

// The length field is signed for callers: a negative one means no bytes.
std::span<const uint8_t> array_bytes(const TypedValue& value) {
  const std::span<const uint8_t> bytes = frame::byte_array_bytes(pointer_of(value));
  return static_cast<int32_t>(bytes.size()) > 0 ? bytes : std::span<const uint8_t>();
}

std::vector<std::span<const uint8_t>> arrays_from(const ServiceArguments& args, uint32_t first) {
  std::vector<std::span<const uint8_t>> arrays;
  for (uint32_t i = first; i < args.count(); ++i) arrays.push_back(array_bytes(args.at(i)));
  return arrays;
}

}  // namespace

TypedValue create_directory_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    return TypedValue::of_bool(files::create_directory(path_text(ServiceArguments(count, arguments), 0)));
  });
}

TypedValue write_file_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return TypedValue::of_bool(files::write_whole_file(path_text(args, 0), arrays_from(args, 1)));
  });
}

TypedValue ini_write_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return TypedValue::of_bool(
        files::write_ini(path_text(args, 0), path_text(args, 1), optional_text(args, 2), optional_text(args, 3)));
  });
}

}  // namespace services
