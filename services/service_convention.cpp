#include "services/service_convention.h"

#include "frame/frame_heap.h"
#include "frame/runtime_error.h"

namespace services {

std::string_view ServiceArguments::text(uint32_t index) const {
  if (!present(index)) return {};
  const auto* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(arguments_[index].low));
  return text ? std::string_view(text) : std::string_view();
}

std::optional<int32_t> ServiceArguments::integer(uint32_t index) const {
  if (!present(index)) return std::nullopt;
  const auto value = frame::numeric_to_int32(arguments_[index]);
  if (!value) frame::report_runtime_error("欲转换数据类型不是数值", 0, 0, 0);
  return value;
}

TypedValue text_value(const char* text) {
  return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(text)), 0, frame::kTypeText};
}

TypedValue text_result(std::string_view text) { return text_value(text.empty() ? nullptr : frame::heap_text(text)); }

TypedValue no_result() { return {}; }

}  // namespace services
