#pragma once
// The installer's shortcuts, made through the shell's WshShell automation object.
// Texts are GBK.
#include <cstdint>
#include <optional>
#include <string>

#include "services/service_call.h"

namespace app {

// The optional make-shortcut parameters; one not given reads as the empty text.
struct ShortcutDetails {
  const char* arguments = nullptr;
  const char* icon_location = nullptr;  // not given: chosen from the target
  std::optional<int32_t> window_style;
  const char* description = nullptr;
  const char* hot_key = nullptr;
};

// Writes the .lnk file `shortcut_file` that starts `target` from the target's folder.
// True once the shortcut object exists and its target is set, even when a later
// property or the save fails; false when the shell object, the shortcut object or
// the target cannot be had. Initialises COM on the calling thread for the call only.
bool make_shortcut(const char* shortcut_file, const char* target, const ShortcutDetails& details);

// The part of `path` before its last backslash; the empty text without one.
services::OwnedText folder_of_path(const char* path);

// The current user's desktop directory, without a trailing backslash; nothing when
// its path has a character that GBK cannot hold.
std::optional<std::string> desktop_folder_path();

}  // namespace app
