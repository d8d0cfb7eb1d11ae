#pragma once
// What the reliability tests saw, counted per group of cases and printed when the
// test program ends, one line a group:
//   "<group>: cases tried N, faults survived N, files lost N"
// A case is tried when the fault was really put in the installer's way; it is
// survived when the installer came through it as it should; a file is lost when a
// product file ended neither completely new nor intact old.
#include <string>

namespace reliability {

struct GroupCount {
  int tried = 0;
  int survived = 0;
  int lost = 0;
};

// The count of `group`, created on first use; groups print in that order.
GroupCount& group(const std::string& name);

}  // namespace reliability
