#pragma once
// A typed face on the runtime-service convention for the installer's own code:
//
//   OwnedText folder = take_text(call_service(text_replace_service, path, "\"", omitted, omitted, omitted, true));
//
// Each call still goes through the service's real entry point with an argument
// array as any caller would build it.
#include <cstdint>
#include <memory>
#include <string_view>

#include "frame/frame_heap.h"
#include "services/service_convention.h"

namespace services {

struct Omitted {};
inline constexpr Omitted omitted;

inline TypedValue argument(Omitted) { return {}; }
inline TypedValue argument(const char* text) { return text_value(text); }
inline TypedValue argument(int32_t value) { return TypedValue::of_int(value); }
inline TypedValue argument(bool value) { return TypedValue::of_bool(value); }
inline TypedValue argument(const TypedValue& value) { return value; }

template <typename... Arguments>
TypedValue call_service(ServiceEntry entry, const Arguments&... arguments) {
  const TypedValue values[] = {argument(arguments)..., TypedValue{}};
  return entry(sizeof...(arguments), values);
}

// A text a service returned: freed to the frame heap when it goes.
using OwnedText = frame::HeapBlock<char>;

inline OwnedText take_text(const TypedValue& result) {
  return OwnedText(reinterpret_cast<char*>(static_cast<uintptr_t>(result.low)));
}

inline std::string_view text_of(const OwnedText& text) {
  return text ? std::string_view(text.get()) : std::string_view();
}

}  // namespace services
