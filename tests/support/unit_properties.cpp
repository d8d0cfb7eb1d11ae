#include "unit_properties.h"

#include <cstring>
#include <vector>

#include "frame/frame_heap.h"
#include "frame/properties.h"

namespace support {

namespace {

uint32_t word_of(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

}  // namespace

int32_t WindowProperties::read_int(uint32_t unit, int number, int index) const {
  return static_cast<int32_t>(frame::read_property(window_, unit, number, index));
}

void WindowProperties::write_int(uint32_t unit, int number, int32_t value, int index) const {
  write_word(unit, number, index, static_cast<uint32_t>(value));
}

std::string WindowProperties::read_text(uint32_t unit, int number, int index) const {
  auto* text = reinterpret_cast<char*>(static_cast<uintptr_t>(frame::read_property(window_, unit, number, index)));
  std::string copy = text ? text : "";
  frame::heap_free(text);
  return copy;
}

void WindowProperties::write_text(uint32_t unit, int number, const char* text, int index) const {
  write_word(unit, number, index, word_of(text));
}

void WindowProperties::write_bytes(uint32_t unit, int number, std::span<const uint8_t> bytes) const {
  if (bytes.empty()) return write_word(unit, number, kWhole, 0);
  std::vector<uint8_t> record(8 + bytes.size());
  const uint32_t header[] = {1, static_cast<uint32_t>(bytes.size())};
  std::memcpy(record.data(), header, sizeof header);
  std::memcpy(record.data() + 8, bytes.data(), bytes.size());
  write_word(unit, number, kWhole, word_of(record.data()));
}

void WindowProperties::write_word(uint32_t unit, int number, int index, uint32_t word) const {
  frame::write_property(window_, unit, number, index, word, 0);
}

}  // namespace support
