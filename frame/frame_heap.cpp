#include "frame/frame_heap.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "frame/byte_array.h"
#include "frame/runtime_error.h"

namespace frame {
namespace {

HANDLE g_heap = nullptr;
const uint8_t* g_constants_begin = nullptr;
const uint8_t* g_constants_end = nullptr;

HANDLE heap() { return g_heap != nullptr ? g_heap : GetProcessHeap(); }

}  // namespace

void report_allocation_failure(size_t bytes) {
  char message[64];
  std::snprintf(message, sizeof message, "分配 %d 字节内存失败!", static_cast<int>(bytes));
  report_runtime_error(message, 0, 0, 0);
}

void heap_attach(void* process_heap, const uint8_t* constants_begin, const uint8_t* constants_end) {
  g_heap = process_heap;
  g_constants_begin = constants_begin;
  g_constants_end = constants_end;
}

bool is_constant(const void* block) {
  const auto* p = static_cast<const uint8_t*>(block);
  return g_constants_begin != nullptr && p >= g_constants_begin && p < g_constants_end;
}

void* heap_allocate(size_t bytes) {
  void* block = HeapAlloc(heap(), 0, bytes);
  if (block == nullptr) report_allocation_failure(bytes);
  return block;
}

void* heap_reallocate(void* block, size_t bytes) {
  if (block == nullptr) return heap_allocate(bytes);
  if (is_constant(block)) {
    const auto* source = static_cast<const uint8_t*>(block);
    void* copy = heap_allocate(bytes);
    size_t available = static_cast<size_t>(g_constants_end - source);
    std::memcpy(copy, source, std::min(bytes, available));
    return copy;
  }
  void* resized = HeapReAlloc(heap(), 0, block, bytes);
  if (resized == nullptr) report_allocation_failure(bytes);
  return resized;
}

void heap_free(void* block) {
  if (block == nullptr || is_constant(block)) return;
  HeapFree(heap(), 0, block);
}

char* heap_text(std::string_view text) {
  auto* copy = static_cast<char*>(heap_allocate(text.size() + 1));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

uint8_t* heap_byte_array(std::span<const uint8_t> bytes) {
  auto* array = static_cast<uint8_t*>(heap_allocate(kByteArrayHeaderSize + bytes.size()));
  const ByteArrayHeader header = byte_array_header(static_cast<uint32_t>(bytes.size()));
  std::memcpy(array, header.data(), header.size());
  if (!bytes.empty()) std::memcpy(array + kByteArrayHeaderSize, bytes.data(), bytes.size());
  return array;
}

std::span<const uint8_t> byte_array_bytes(const void* array) {
  if (array == nullptr) return {};
  return byte_array_content(static_cast<const uint8_t*>(array));
}

}  // namespace frame
