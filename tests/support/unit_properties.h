#pragma once
// The units' properties of one loaded window, read and written through the frame's
// property services as a program on the frame does: a number or a text per slot,
// `index` picking one element of an array property, kWhole the property itself.
// A misuse ends in the frame's run-time error, as it would in a program.
#include <cstdint>
#include <span>
#include <string>

namespace support {

class WindowProperties {
 public:
  static constexpr int kWhole = -1;

  constexpr explicit WindowProperties(uint32_t window) : window_(window) {}

  int32_t read_int(uint32_t unit, int number, int index = kWhole) const;
  void write_int(uint32_t unit, int number, int32_t value, int index = kWhole) const;
  // A copy of the text; the frame's own copy is given back to its heap.
  std::string read_text(uint32_t unit, int number, int index = kWhole) const;
  void write_text(uint32_t unit, int number, const char* text, int index = kWhole) const;
  // Bytes travel as the frame's array record: u32 1, u32 length, the bytes; no bytes
  // writes a null word instead, which empties a picture slot.
  void write_bytes(uint32_t unit, int number, std::span<const uint8_t> bytes) const;

 private:
  void write_word(uint32_t unit, int number, int index, uint32_t word) const;

  uint32_t window_;
};

}  // namespace support
