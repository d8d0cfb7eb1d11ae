#include "services/gbk_text.h"

#include <algorithm>

#include "frame/gbk.h"

namespace services {
namespace {

uint8_t fold_ascii(char c) {
  const auto byte = static_cast<uint8_t>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<uint8_t>(byte + ('a' - 'A')) : byte;
}

bool bytes_equal(std::string_view a, std::string_view b, bool fold_case) {
  if (!fold_case) return a == b;
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return fold_ascii(x) == fold_ascii(y); });
}

// Stepping over a lead byte at the end goes one past it; the sum cannot wrap.
bool fits_at(std::string_view text, size_t position, std::string_view find) {
  return position + find.size() <= text.size();
}

// A 1-based position argument as a 0-based byte offset; widened first so that the
// most negative integer cannot wrap.
int64_t offset_from_position(int32_t position) { return int64_t{position} - 1; }

}  // namespace

std::string replace_text(std::string_view text, std::string_view find, std::string_view replacement,
                         std::optional<int32_t> start, std::optional<int32_t> count, bool case_sensitive) {
  const size_t begin = static_cast<size_t>(std::max<int64_t>(start ? offset_from_position(*start) : 0, 0));
  int64_t remaining = count.value_or(-1);
  if (text.empty() || find.empty() || begin >= text.size() || remaining == 0) return std::string(text);

  std::string result(text.substr(0, begin));
  size_t position = begin;
  while (fits_at(text, position, find)) {
    if (bytes_equal(text.substr(position, find.size()), find, !case_sensitive)) {
      result += replacement;
      position += find.size();
      if (remaining > 0 && --remaining == 0) break;
      continue;
    }
    const size_t next = frame::next_character(text, position);
    if (next > text.size()) {
      position = text.size();
      break;
    }
    result += text.substr(position, next - position);
    position = next;
  }
  result += text.substr(position);
  return result;
}

int32_t find_last(std::string_view text, std::string_view find, std::optional<int32_t> start, bool case_insensitive) {
  std::string_view window = text;
  if (start)
    window = text.substr(0, static_cast<size_t>(std::clamp<int64_t>(offset_from_position(*start), 0,
                                                                    static_cast<int64_t>(text.size()))));
  if (find.empty()) return window.empty() ? -1 : 1;

  int32_t last = -1;
  for (size_t position = 0; fits_at(window, position, find); position = frame::next_character(window, position)) {
    if (bytes_equal(window.substr(position, find.size()), find, case_insensitive))
      last = static_cast<int32_t>(position + 1);
  }
  return last;
}

std::string_view left_part(std::string_view text, int32_t count) {
  if (count <= 0) return {};
  return text.substr(0, static_cast<size_t>(count));
}

std::string blank_text(int32_t count) {
  if (count < 1) return {};
  return std::string(static_cast<size_t>(count), ' ');
}

}  // namespace services
