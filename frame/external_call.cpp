#include "frame/external_call.h"

#include "frame/frame_services.h"
#include "frame/runtime_error.h"
#include "frame/stdcall_call.h"

namespace frame {
namespace {

constexpr int kStackMismatchError = 6;

}  // namespace

uint32_t call_external(uint32_t index, std::initializer_list<uint32_t> words, uint32_t caller_id,
                       uint32_t code_offset) {
  const void* function = resolve_external_function(index);
  int32_t stack_difference = 0;
  const uint64_t result =
      frame_call_stdcall(function, words.begin(), static_cast<uint32_t>(words.size()), &stack_difference);
  if (stack_difference != 0) {
    raise_runtime_error(kStackMismatchError, static_cast<int32_t>(caller_id), static_cast<int32_t>(code_offset));
  }
  return static_cast<uint32_t>(result);
}

}  // namespace frame
