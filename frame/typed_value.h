#pragma once
// The value every property, event argument and runtime service exchanges: a 64-bit
// payload (low and high word) and a type code. Twelve bytes, as stored in argument
// arrays; an omitted argument has all three words zero.
#include <cstdint>
#include <optional>

namespace frame {

enum TypeCode : uint32_t {
  kTypeNone = 0,
  kTypeByte = 0x80000101,
  kTypeShort = 0x80000201,
  kTypeInt = 0x80000301,
  kTypeInt64 = 0x80000401,
  kTypeFloat = 0x80000501,
  kTypeDouble = 0x80000601,
  kTypeBool = 0x80000002,
  kTypeDateTime = 0x80000003,
  kTypeText = 0x80000004,       // pointer to zero-terminated GBK text
  kTypeByteArray = 0x80000005,  // pointer to u32 1, u32 length, bytes
  kTypeTwoWord = 0x80000008,
  kTypeWindow = 0x00010001,  // a template window's id
  kTypeMenuItem = 0x00010003,
};

struct TypedValue {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t type = kTypeNone;

  bool omitted() const { return low == 0 && high == 0 && type == kTypeNone; }
  uint64_t payload() const { return uint64_t{high} << 32 | low; }
  // True for the types passed as two words.
  bool is_two_words() const;

  static TypedValue of_int(int32_t value) { return {static_cast<uint32_t>(value), 0, kTypeInt}; }
  static TypedValue of_bool(bool value) { return {value ? 1u : 0u, 0, kTypeBool}; }
  static TypedValue of_double(double value);
};
static_assert(sizeof(TypedValue) == 12);

// A numeric value as a 32-bit integer: byte zero-extended, short sign-extended,
// int and int64 their low word, float and double truncated toward zero. Nothing for
// any other type.
std::optional<int32_t> numeric_to_int32(const TypedValue& value);

}  // namespace frame
