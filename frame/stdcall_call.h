#pragma once
// Calls a function the frame knows only by address, with 32-bit arguments, and
// measures what the call did to the stack pointer.
#include <cstdint>

extern "C" {

// Pushes words[count - 1] down to words[0] (so words[0] is the first argument),
// calls `function`, and returns its EDX:EAX. *stack_difference (which must not be
// null) receives ESP after the call minus ESP before the pushes: 0 for a stdcall
// function that took exactly `count` words, negative when the callee left words
// behind (cdecl, or fewer parameters), positive when it took more. Whatever the
// callee did, the caller's stack pointer is restored from a saved copy.
uint64_t frame_call_stdcall(const void* function, const uint32_t* words, uint32_t count, int32_t* stack_difference);
}
