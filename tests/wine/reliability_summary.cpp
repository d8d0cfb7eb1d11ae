#include "reliability_summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace reliability {
namespace {

std::vector<std::pair<std::string, GroupCount>>& groups() {
  static std::vector<std::pair<std::string, GroupCount>> counted;
  return counted;
}

class Summary : public testing::Environment {
 public:
  void TearDown() override {
    for (const auto& [name, count] : groups()) {
      std::printf("%s: cases tried %d, faults survived %d, files lost %d\n", name.c_str(), count.tried, count.survived,
                  count.lost);
    }
    std::fflush(stdout);
  }
};

// gtest owns the environment once it is added.
const testing::Environment* const kSummary = testing::AddGlobalTestEnvironment(new Summary);

}  // namespace

GroupCount& group(const std::string& name) {
  for (auto& [known, count] : groups()) {
    if (known == name) return count;
  }
  return groups().emplace_back(name, GroupCount{}).second;
}

}  // namespace reliability
