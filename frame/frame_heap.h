#pragma once
// The frame heap: every text, byte array and record that handlers and services
// exchange. Blocks inside the read-only constants area are never freed or resized
// in place, so a constant can be handed out wherever a heap block is expected.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace frame {

void heap_attach(void* process_heap, const uint8_t* constants_begin, const uint8_t* constants_end);

// The run-time error for a request of `bytes` that memory could not satisfy.
[[noreturn]] void report_allocation_failure(size_t bytes);

// Never returns null: running out of memory is a run-time error.
void* heap_allocate(size_t bytes);
// A null block is a plain allocation; a constant is copied into a new block.
void* heap_reallocate(void* block, size_t bytes);
// Null and constants are ignored.
void heap_free(void* block);

struct FreeHeapBlock {
  void operator()(void* block) const { heap_free(block); }
};
// A block of the frame heap, freed when it goes.
template <typename T>
using HeapBlock = std::unique_ptr<T, FreeHeapBlock>;

bool is_constant(const void* block);

// A zero-terminated copy of `text` on the frame heap.
char* heap_text(std::string_view text);
// A byte array (frame/byte_array.h) on the frame heap.
uint8_t* heap_byte_array(std::span<const uint8_t> bytes);
// The bytes of a byte array (null gives none).
std::span<const uint8_t> byte_array_bytes(const void* array);

}  // namespace frame
