// Stepping through GBK (code page 936) texts a character at a time, so that a trail
// byte never counts on its own: trail bytes run from 0x40 to 0xFE and take in '\',
// '|' and the ASCII letters. A lead byte is 0x81 to 0xFE; 0x80 and 0xFF are single
// bytes like ASCII. The rule is code page 936's own, not the system's: the
// product's texts are GBK whatever code page Windows runs with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace frame {

constexpr bool is_gbk_lead_byte(uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

// Where the character after the one at `position` starts: two bytes on after a lead
// byte, one after any other. A lead byte that ends the text gives text.size() + 1,
// which says that the text ends inside a character.
constexpr size_t next_character(std::string_view text, size_t position) {
  return position + (is_gbk_lead_byte(static_cast<uint8_t>(text[position])) ? 2 : 1);
}

// The position of the last backslash that is a character of its own; npos for none.
constexpr size_t last_backslash(std::string_view path) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i = next_character(path, i)) {
    if (path[i] == '\\') found = i;
  }
  return found;
}

}  // namespace frame
