#include "services/gbk_path.h"

#include <cstdint>

#include "services/gbk_text.h"

namespace services {
namespace {

constexpr size_t kNoBackslash = std::string_view::npos;

size_t last_backslash(std::string_view path) {
  size_t found = kNoBackslash;
  for (size_t i = 0; i < path.size(); ++i) {
    if (is_lead_byte(static_cast<uint8_t>(path[i]))) {
      ++i;  // the trail byte is part of the character
    } else if (path[i] == '\\') {
      found = i;
    }
  }
  return found;
}

}  // namespace

PathParts split_at_last_backslash(std::string_view path) {
  const size_t split = last_backslash(path);
  if (split == kNoBackslash) return {{}, path};
  return {path.substr(0, split), path.substr(split + 1)};
}

}  // namespace services
