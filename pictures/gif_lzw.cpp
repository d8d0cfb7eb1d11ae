#include "pictures/gif_lzw.h"

#include <algorithm>
#include <array>
#include <memory>

namespace pictures {
namespace {

constexpr unsigned kMaxCodes = 4096;

class BitSource {
 public:
  explicit BitSource(std::span<const uint8_t> data) : data_(data) {}
  std::optional<unsigned> take(unsigned width) {
    if (position_ + width > data_.size() * 8) return std::nullopt;
    unsigned value = 0;
    for (unsigned i = 0; i < width; ++i, ++position_)
      value |= unsigned(data_[position_ / 8] >> (position_ % 8) & 1) << i;
    return value;
  }

 private:
  std::span<const uint8_t> data_;
  size_t position_ = 0;
};

struct CodeTable {
  std::array<uint16_t, kMaxCodes> prefix{};
  std::array<uint8_t, kMaxCodes> suffix{};
  std::array<uint8_t, kMaxCodes> first{};
  std::array<uint16_t, kMaxCodes> length{};
};

class LzwDecoder {
 public:
  LzwDecoder(unsigned min_code_size, size_t count) : min_size_(min_code_size), count_(count) {
    for (unsigned i = 0; i < clear_code(); ++i) {
      table_.suffix[i] = table_.first[i] = uint8_t(i);
      table_.length[i] = 1;
    }
    reset();
  }

  std::optional<std::vector<uint8_t>> run(BitSource& bits) {
    while (out_.size() < count_) {
      auto code = bits.take(width_);
      if (!code || *code == clear_code() + 1) return std::nullopt;
      if (*code == clear_code()) {
        reset();
      } else if (!step(*code)) {
        return std::nullopt;
      }
    }
    return std::move(out_);
  }

 private:
  unsigned clear_code() const { return 1u << min_size_; }

  void reset() {
    next_ = clear_code() + 2;
    width_ = min_size_ + 1;
    previous_.reset();
  }

  bool step(unsigned code) {
    if (code > next_ || (code == next_ && !previous_)) return false;
    if (code >= clear_code() && code < clear_code() + 2) return false;
    const unsigned known = code < next_ ? code : *previous_;
    const uint8_t first = table_.first[known];
    if (previous_ && next_ < kMaxCodes) add(*previous_, first);
    emit(code);
    previous_ = code;
    return true;
  }

  void add(unsigned prefix, uint8_t suffix) {
    table_.prefix[next_] = uint16_t(prefix);
    table_.suffix[next_] = suffix;
    table_.first[next_] = table_.first[prefix];
    table_.length[next_] = uint16_t(table_.length[prefix] + 1);
    ++next_;
    if (next_ == 1u << width_ && width_ < 12) ++width_;
  }

  // Writes the string of `code` backwards into its place; the tail past `count` is dropped.
  void emit(unsigned code) {
    const size_t start = out_.size(), length = table_.length[code];
    out_.resize(std::min(start + length, count_));
    for (size_t i = length; i-- > 0; code = table_.prefix[code])
      if (start + i < out_.size()) out_[start + i] = table_.suffix[code];
  }

  unsigned min_size_;
  size_t count_;
  CodeTable table_;
  std::vector<uint8_t> out_;
  unsigned next_ = 0, width_ = 0;
  std::optional<unsigned> previous_;
};

}  // namespace

std::optional<std::vector<uint8_t>> lzw_decode(std::span<const uint8_t> data, unsigned min_code_size, size_t count) {
  if (min_code_size < 2 || min_code_size > 8) return std::nullopt;
  // No code stands for a string longer than the table has entries, so the data
  // bounds what it can hold; a frame that claims more is refused before decoding.
  const uint64_t codes = uint64_t(data.size()) * 8 / (min_code_size + 1);
  if (count > codes * kMaxCodes) return std::nullopt;
  BitSource bits(data);
  auto decoder = std::make_unique<LzwDecoder>(min_code_size, count);
  return decoder->run(bits);
}

}  // namespace pictures
