#pragma once
// The runtime-service convention: every service takes an argument count and an array
// of typed values and gives one typed value back. An argument past the count, or one
// whose three words are zero, is omitted. Texts travel as pointers to zero-terminated
// GBK; texts a service returns are frame-heap blocks owned by the caller, and an empty
// result is the null text.
#include <cstdint>
#include <optional>
#include <string_view>

#include "frame/typed_value.h"

namespace services {

using frame::TypedValue;
using ServiceEntry = TypedValue (*)(uint32_t count, const TypedValue* arguments);

class ServiceArguments {
 public:
  ServiceArguments(uint32_t count, const TypedValue* arguments) : count_(count), arguments_(arguments) {}

  uint32_t count() const { return count_; }
  bool present(uint32_t index) const { return index < count_ && !arguments_[index].omitted(); }
  const TypedValue& at(uint32_t index) const { return arguments_[index]; }

  // The text of a text argument; an omitted or null text is empty.
  std::string_view text(uint32_t index) const;
  // A numeric argument as an integer; nothing when omitted.
  std::optional<int32_t> integer(uint32_t index) const;
  // The low word as a logical; an omitted argument is false.
  bool logical(uint32_t index) const { return present(index) && arguments_[index].low != 0; }

 private:
  uint32_t count_;
  const TypedValue* arguments_;
};

TypedValue text_value(const char* text);
// A copy of `text` on the frame heap; the empty text becomes the null text.
TypedValue text_result(std::string_view text);
TypedValue no_result();

}  // namespace services
