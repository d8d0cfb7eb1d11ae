#pragma once
// A typed face on unit properties: a unit named by window and id, and slots that
// carry the type of their value, so code writes a caption as a text and a width as
// a number, never as a bare word. Each call is one read_property or write_property.
#include <cstdint>

#include "frame/properties.h"

namespace frame {

// A byte array as the frame takes it: u32 1, u32 length, the bytes.
struct ByteArray {
  const void* header;
};

template <typename Value>
struct Slot {
  int number;
};

// The frame's own slots of every unit.
inline constexpr Slot<int32_t> kLeft{kPropertyLeft};
inline constexpr Slot<int32_t> kTop{kPropertyTop};
inline constexpr Slot<int32_t> kWidth{kPropertyWidth};
inline constexpr Slot<int32_t> kHeight{kPropertyHeight};
inline constexpr Slot<bool> kVisible{kPropertyVisible};
inline constexpr Slot<bool> kDisabled{kPropertyDisabled};

// Roles a unit can present to assistive technology in place of its kind's own,
// numbered as oleacc numbers them.
enum class AccessibleRole : int32_t { progress_bar = 0x30 };

struct Unit {
  uint32_t window;
  uint32_t id;

  int32_t read(Slot<int32_t> slot) const { return static_cast<int32_t>(read_word(slot.number)); }
  bool read(Slot<bool> slot) const { return read_word(slot.number) != 0; }

  void write(Slot<int32_t> slot, int32_t value) const { write_word(slot.number, static_cast<uint32_t>(value)); }
  void write(Slot<bool> slot, bool value) const { write_word(slot.number, value ? 1 : 0); }
  // A zero-terminated GBK text; the kind keeps a copy.
  void write(Slot<const char*> slot, const char* text) const { write_word(slot.number, word_of(text)); }
  void write(Slot<ByteArray> slot, ByteArray bytes) const { write_word(slot.number, word_of(bytes.header)); }
  void focus() const { focus_unit(window, id); }
  void present_as(AccessibleRole role) const { set_accessible_role(window, id, static_cast<int32_t>(role)); }

 private:
  static uint32_t word_of(const void* address) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address)); }
  uint64_t read_word(int number) const { return read_property(window, id, number, -1); }
  void write_word(int number, uint32_t word) const { write_property(window, id, number, -1, word, 0); }
};

}  // namespace frame
