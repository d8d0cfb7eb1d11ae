#pragma once
// The text services' logic on GBK (code page 936) texts, apart from how texts reach
// a service. Scans step over whole characters (frame/gbk.h) so that a trail byte
// never matches on its own. Letters fold case byte by byte and only in ASCII.
// Positions are 1-based byte positions.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace services {

// Replaces occurrences of `find` from byte position `start` on (nothing: from the
// first byte; below 1 counts as 1), at most `count` of them (nothing or a negative
// count: all). Without `case_sensitive` ASCII letters compare folded. An empty text
// or find text, a start past the end or a count of 0 give the text unchanged. A lead
// byte that the scan meets as the last byte of the text is dropped.
std::string replace_text(std::string_view text, std::string_view find, std::string_view replacement,
                         std::optional<int32_t> start, std::optional<int32_t> count, bool case_sensitive);

// The position of the last occurrence of `find` that begins on a character boundary
// and lies wholly within the first start - 1 bytes (nothing: the whole text), or -1.
// An empty find text is found at 1 in a non-empty search window.
int32_t find_last(std::string_view text, std::string_view find, std::optional<int32_t> start, bool case_insensitive);

// The first `count` bytes, even when that cuts a two-byte character in half.
std::string_view left_part(std::string_view text, int32_t count);

// `count` spaces; nothing for a count below 1.
std::string blank_text(int32_t count);

}  // namespace services
