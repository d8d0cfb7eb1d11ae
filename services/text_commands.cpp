#include "services/text_commands.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "services/gbk_text.h"

namespace services {
namespace {

// Results built with the C++ allocator must not leave a service as an exception:
// running out of memory there is the frame's allocation failure like any other.
// `least_bytes` is what the result needs at the least, the size the box names.
template <typename Build>
TypedValue built_text_result(size_t least_bytes, Build build) {
  try {
    return text_result(build());
  } catch (const std::bad_alloc&) {
    frame::report_allocation_failure(least_bytes);
  } catch (const std::length_error&) {
    frame::report_allocation_failure(least_bytes);
  }
}

}  // namespace

TypedValue text_replace_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const std::string_view text = args.text(0);
    return built_text_result(text.size() + 1, [&] {
      return replace_text(text, args.text(1), args.text(2), args.integer(3), args.integer(4), args.logical(5));
    });
  });
}

TypedValue find_last_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return TypedValue::of_int(find_last(args.text(0), args.text(1), args.integer(2), args.logical(3)));
  });
}

TypedValue left_part_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return text_result(left_part(args.text(0), args.integer(1).value_or(0)));
  });
}

TypedValue blank_text_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const int32_t spaces = args.integer(0).value_or(0);
    return built_text_result(static_cast<size_t>(std::max(spaces, 0)) + 1, [&] { return blank_text(spaces); });
  });
}

TypedValue or_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    uint32_t bits = 0;
    for (uint32_t i = 0; i < count; ++i) bits |= arguments[i].low;
    return TypedValue::of_int(static_cast<int32_t>(bits));
  });
}

}  // namespace services
