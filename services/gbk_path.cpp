#include "services/gbk_path.h"

#include "frame/gbk.h"

namespace services {

PathParts split_at_last_backslash(std::string_view path) {
  const size_t split = frame::last_backslash(path);
  if (split == std::string_view::npos) return {{}, path};
  return {path.substr(0, split), path.substr(split + 1)};
}

}  // namespace services
