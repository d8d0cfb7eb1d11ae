#include "app/shortcuts.h"

#include <windows.h>

#include <array>
#include <string>

#include "app/declared_functions.h"
#include "frame/external_call.h"
#include "frame/gbk_wide.h"
#include "services/com_object.h"
#include "services/object_variable.h"
#include "services/text_commands.h"

namespace app {
namespace {

using services::call_service;
using services::ObjectVariable;
using services::omitted;

// Where a stack error in these routines' external calls would be located.
constexpr uint32_t kMakeShortcutRoutine = 0x04010010;
constexpr uint32_t kDesktopFolderRoutine = 0x04010011;
constexpr uint32_t kCoInitializeOffset = 12;
constexpr uint32_t kPathFindExtensionOffset = 96;
constexpr uint32_t kCoUninitializeOffset = 188;
constexpr uint32_t kSpecialFolderOffset = 24;

// The desktop directory of the current user; the folder is not created.
constexpr uint32_t kDesktopDirectoryFolderId = 0x10;
constexpr size_t kFolderBufferLength = MAX_PATH;

constexpr char kShellClass[] = "WshShell";
constexpr char kShellLibrary[] = "wshom.ocx";
constexpr char kIconWithoutExtension[] = "SHELL32.dll,4";

uint32_t call_for_shortcut(uint32_t index, std::initializer_list<uint32_t> words, uint32_t offset) {
  return frame::call_external(index, words, kMakeShortcutRoutine, offset);
}

const char* text_or_empty(const char* text) { return text != nullptr ? text : ""; }

bool set_property(const ObjectVariable& shortcut, const char* name, const services::TypedValue& value) {
  return call_service(services::write_property_service, shortcut.value(), name, value).low != 0;
}

bool set_text_property(const ObjectVariable& shortcut, const char* name, const char* text) {
  return set_property(shortcut, name, services::text_value(text_or_empty(text)));
}

std::string icon_location_for(const char* target, const ShortcutDetails& details) {
  if (details.icon_location != nullptr) return details.icon_location;
  const std::wstring wide_target = frame::wide_from_gbk(target);
  const auto* extension = reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(
      call_for_shortcut(kPathFindExtensionW, {word_of(wide_target.c_str())}, kPathFindExtensionOffset)));
  if (*extension == L'\0') return kIconWithoutExtension;
  return std::string(target) + ",0";
}

// Opens the shortcut object in `variable`; false when there is none.
bool open_shortcut(ObjectVariable& variable, const char* shortcut_file) {
  if (call_service(services::create_object_service, variable.value(), kShellClass, kShellLibrary).low == 0) {
    return false;
  }
  variable.assign(call_service(services::object_method_service, variable.value(), "CreateShortcut", shortcut_file));
  return !variable.empty();
}

// Later properties may fail without undoing the shortcut: their results are not kept.
void set_remaining_properties(const ObjectVariable& shortcut, const char* target, const char* working_folder,
                              const ShortcutDetails& details) {
  set_text_property(shortcut, "WorkingDirectory", working_folder);
  const std::string icon_location = icon_location_for(target, details);
  set_text_property(shortcut, "IconLocation", icon_location.c_str());
  set_property(shortcut, "WindowStyle", services::TypedValue::of_int(details.window_style.value_or(0)));
  set_text_property(shortcut, "Description", details.description);
  set_text_property(shortcut, "Arguments", details.arguments);
  set_text_property(shortcut, "Hotkey", details.hot_key);
}

bool write_shortcut(ObjectVariable& variable, const char* shortcut_file, const char* target, const char* working_folder,
                    const ShortcutDetails& details) {
  if (!open_shortcut(variable, shortcut_file)) return false;
  if (!set_text_property(variable, "TargetPath", target)) return false;
  set_remaining_properties(variable, target, working_folder, details);
  variable.assign(call_service(services::object_method_service, variable.value(), "Save"));
  return true;
}

}  // namespace

bool make_shortcut(const char* shortcut_file, const char* target, const ShortcutDetails& details) {
  call_for_shortcut(kCoInitialize, {0}, kCoInitializeOffset);
  const services::OwnedText working_folder = folder_of_path(target);
  bool made = false;
  {
    // Emptied here: no object may outlive the COM initialisation it came from.
    ObjectVariable variable;
    made = write_shortcut(variable, shortcut_file, target, working_folder.get(), details);
  }
  call_for_shortcut(kCoUninitialize, {}, kCoUninitializeOffset);
  return made;
}

services::OwnedText folder_of_path(const char* path) {
  const int32_t backslash =
      static_cast<int32_t>(call_service(services::find_last_service, path, "\\", omitted, false).low);
  return services::take_text(call_service(services::left_part_service, path, backslash - 1));
}

// A failed call leaves the buffer empty, which gives the empty text.
std::optional<std::string> desktop_folder_path() {
  std::array<wchar_t, kFolderBufferLength> buffer{};
  frame::call_external(kSHGetSpecialFolderPathW, {0, word_of(buffer.data()), kDesktopDirectoryFolderId, 0},
                       kDesktopFolderRoutine, kSpecialFolderOffset);
  return frame::gbk_from_wide(buffer.data());
}

}  // namespace app
