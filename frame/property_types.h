#pragma once
// The types a unit property can have: the frame converts values by them, the
// layout compiler reads and prints them by them.
#include <cstdint>

namespace frame {

enum PropertyType : uint32_t {
  kPropertyInteger = 1001,
  kPropertyInt64 = 1002,
  kPropertyBoolean = 1003,
  kPropertyText = 1005,
  kPropertyChoice = 1006,
  kPropertyPicture = 1009,
  kPropertyIcon = 1010,
  kPropertyCursor = 1011,
  kPropertySound = 1012,
  kPropertyFont = 1013,
  kPropertyColour = 1014,
  kPropertyFileName = 1016,
  kPropertyBackgroundColour = 1017,
  kPropertyDataSource = 1018,
  kPropertyDataColumn = 1020,
};

}  // namespace frame
