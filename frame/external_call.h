#pragma once
// The calling sequence handlers use for declared external functions.
#include <cstdint>
#include <initializer_list>

namespace frame {

// Resolves declared function `index` and calls it with `words` as its 32-bit
// arguments, first to last (texts as pointers, integers and logicals as values).
// Returns the 32-bit result as it is. A call that leaves the stack pointer
// elsewhere than where it was (the function takes another number of arguments, or
// is not stdcall) is run-time error 6, located by the calling routine's identifier
// and the code offset of the call.
uint32_t call_external(uint32_t index, std::initializer_list<uint32_t> words, uint32_t caller_id, uint32_t code_offset);

}  // namespace frame
