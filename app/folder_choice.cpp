// Choosing the installation folder with the shell's folder dialog.
#include <shlobj.h>
#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "app/constants.h"
#include "app/declared_functions.h"
#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "app/toggles.h"
#include "app/user_messages.h"
#include "frame/external_call.h"
#include "frame/gbk_wide.h"
#include "frame/owned_handle.h"
#include "frame/properties.h"
#include "services/service_call.h"
#include "services/text_commands.h"

namespace {

constexpr uint32_t kReturnFileSystemAncestors = 0x08;
constexpr uint32_t kNewDialogStyle = 0x40;

uint32_t call(app::DeclaredFunction function, std::initializer_list<uint32_t> words, uint32_t line) {
  return frame::call_external(function, words, app::kFolderChoiceRoutine, line);
}

// The dialog's item as a file-system path; nothing for an item without one (a
// virtual folder such as the Control Panel), which leaves the folder as it was.
std::wstring path_of_item(LPITEMIDLIST item) {
  std::array<wchar_t, MAX_PATH> path{};
  const bool has_path = call(app::kSHGetPathFromIDListW, {app::word_of(item), app::word_of(path.data())}, __LINE__);
  return has_path ? std::wstring(path.data()) : std::wstring();
}

// A path that GBK cannot hold would name another folder once converted: it is
// refused, and the folder stays as it was.
void take_chosen_folder(const std::wstring& path) {
  const std::optional<std::string> folder = frame::gbk_from_wide(path + L"\\Trellimo");
  if (!folder) return app::warn_user_over_window(app::constant_text(app::kFolderNotUsableMessage));
  app::set_installation_folder(folder->c_str());
  app::show_installation_folder();
}

}  // namespace

extern "C" void __stdcall on_browse_clicked() {
  std::array<wchar_t, MAX_PATH> display_name{};
  const std::wstring title = frame::wide_from_gbk("从下面选文件夹目录:");
  BROWSEINFOW record = {};
  record.pszDisplayName = display_name.data();
  record.lpszTitle = title.c_str();
  record.ulFlags =
      static_cast<UINT>(services::call_service(services::or_service, static_cast<int32_t>(kReturnFileSystemAncestors),
                                               static_cast<int32_t>(kNewDialogStyle))
                            .low);
  call(app::kCoInitialize, {0}, __LINE__);
  const frame::OwnedTaskMemory<ITEMIDLIST> item(reinterpret_cast<LPITEMIDLIST>(
      static_cast<uintptr_t>(call(app::kSHBrowseForFolderW, {app::word_of(&record)}, __LINE__))));
  // The window stays usable behind the dialog, so an installation may have started
  // meanwhile; it keeps the folder it took.
  if (item && !app::installation_started()) {
    const std::wstring path = path_of_item(item.get());
    if (!path.empty()) take_chosen_folder(path);
  }
  call(app::kCoUninitialize, {}, __LINE__);
}
