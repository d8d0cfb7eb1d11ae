// Reading and writing of binary data: the frame's (window template, property blocks,
// byte arrays) and the picture formats'. Words are little-endian unless a read says
// otherwise. Every read either delivers all the bytes it asks for or fails and
// leaves the position where it was: a truncated input never decodes as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace frame {

class ByteReader {
 public:
  // base_offset is where `data` starts inside the outermost block, so that
  // offset() reports positions a reader of that block can find again.
  explicit ByteReader(std::span<const uint8_t> data, size_t base_offset = 0) : data_(data), base_offset_(base_offset) {}

  size_t remaining() const { return data_.size() - position_; }
  size_t offset() const { return base_offset_ + position_; }

  std::optional<std::span<const uint8_t>> bytes(size_t count) {
    if (count > remaining()) return std::nullopt;
    auto view = data_.subspan(position_, count);
    position_ += count;
    return view;
  }

  // The next `count` bytes as a reader of their own, keeping block offsets.
  std::optional<ByteReader> slice(size_t count) {
    const size_t start = offset();
    auto view = bytes(count);
    if (!view) return std::nullopt;
    return ByteReader(*view, start);
  }

  bool skip(size_t count) { return bytes(count).has_value(); }

  std::optional<uint8_t> u8() { return narrowed<uint8_t>(word(1, Order::little)); }
  std::optional<uint16_t> u16() { return narrowed<uint16_t>(word(2, Order::little)); }
  std::optional<uint32_t> u32() { return word(4, Order::little); }
  // PNG's words, inside ICO files too.
  std::optional<uint32_t> u32_be() { return word(4, Order::big); }

  std::optional<int32_t> i32() {
    auto word = u32();
    if (!word) return std::nullopt;
    return static_cast<int32_t>(*word);
  }

  // Property blocks store logical values as whole words; any non-zero word is true.
  std::optional<bool> u32_flag() {
    auto word = u32();
    if (!word) return std::nullopt;
    return *word != 0;
  }

  // u32 length followed by that many bytes.
  std::optional<std::span<const uint8_t>> counted_bytes() {
    const size_t start = position_;
    auto length = u32();
    if (!length) return std::nullopt;
    auto view = bytes(*length);
    if (!view) position_ = start;
    return view;
  }

  std::optional<std::string> counted_text() {
    auto view = counted_bytes();
    if (!view) return std::nullopt;
    return std::string(view->begin(), view->end());
  }

  // Text ending in one 0 byte; the terminator is consumed but not returned.
  std::optional<std::string> zero_terminated_text() {
    auto rest = data_.subspan(position_);
    for (size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == 0) {
        position_ += i + 1;
        return std::string(rest.begin(), rest.begin() + i);
      }
    }
    return std::nullopt;
  }

 private:
  enum class Order { little, big };

  // An unsigned word of `count` bytes, at most four.
  std::optional<uint32_t> word(size_t count, Order order) {
    auto raw = bytes(count);
    if (!raw) return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) value = value << 8 | (*raw)[order == Order::big ? i : count - 1 - i];
    return value;
  }

  template <typename Narrow>
  static std::optional<Narrow> narrowed(std::optional<uint32_t> value) {
    if (!value) return std::nullopt;
    return static_cast<Narrow>(*value);
  }

  std::span<const uint8_t> data_;
  size_t base_offset_;
  size_t position_ = 0;
};

// Property blocks open with their version; a version newer than the decoder knows
// fails like a short read.
inline std::optional<uint32_t> read_block_version(ByteReader& r, uint32_t newest) {
  auto version = r.u32();
  if (!version || *version > newest) return std::nullopt;
  return version;
}

// A versioned block: the version word, no newer than `newest`, then the fields
// `read_fields(reader, version, block)` reads into a default block. Nothing when
// either fails; fields an older version lacks keep their defaults.
template <typename Block, typename ReadFields>
std::optional<Block> read_versioned_block(std::span<const uint8_t> data, uint32_t newest, ReadFields read_fields) {
  ByteReader r(data);
  const auto version = read_block_version(r, newest);
  Block block;
  if (!version || !read_fields(r, *version, block)) return std::nullopt;
  return block;
}

// Moves a successful read into `out`; lets decoders chain reads with &&.
template <typename T>
bool store(std::optional<T> value, T& out) {
  if (!value) return false;
  out = std::move(*value);
  return true;
}

inline bool store(std::optional<std::span<const uint8_t>> value, std::vector<uint8_t>& out) {
  if (!value) return false;
  out.assign(value->begin(), value->end());
  return true;
}

class ByteWriter {
 public:
  void u32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(value >> shift));
  }
  void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
  void flag(bool value) { u32(value ? 1 : 0); }

  void bytes(std::span<const uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void counted_bytes(std::span<const uint8_t> data) {
    u32(length_word(data.size()));
    bytes(data);
  }
  void counted_text(const std::string& text) { counted_bytes(as_bytes(text)); }
  // The caller keeps 0 bytes out of `text`; a reader would stop at the first one.
  void zero_terminated_text(const std::string& text) {
    bytes(as_bytes(text));
    bytes_.push_back(0);
  }

  size_t size() const { return bytes_.size(); }
  std::vector<uint8_t> take() { return std::move(bytes_); }

  // Lengths are stored as u32; only a 64-bit host can hold more than that.
  static uint32_t length_word(size_t size) {
    if constexpr (sizeof(size_t) > sizeof(uint32_t)) {
      if (size > std::numeric_limits<uint32_t>::max())
        throw std::length_error("data longer than a u32 length can describe");
    }
    return static_cast<uint32_t>(size);
  }

 private:
  static std::span<const uint8_t> as_bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
  }

  std::vector<uint8_t> bytes_;
};

}  // namespace frame
