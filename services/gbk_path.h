#pragma once
// Splitting a GBK path at its last backslash. The scan steps over two-byte
// characters whole (frame/gbk.h), so a trail byte 0x5C never splits a path.
#include <string_view>

namespace services {

struct PathParts {
  std::string_view parent;  // before the last backslash; empty when there is none
  std::string_view last;    // after it; the whole path when there is none
};

// A lead byte that ends the text ends the scan, as a terminating zero would.
PathParts split_at_last_backslash(std::string_view path);

}  // namespace services
