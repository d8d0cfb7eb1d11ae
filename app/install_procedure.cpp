#include "app/install_procedure.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/constants.h"
#include "app/declared_functions.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "app/payload_files.h"
#include "app/registration.h"
#include "app/shortcuts.h"
#include "app/unit_groups.h"
#include "app/unit_properties.h"
#include "app/user_messages.h"
#include "frame/exception_barrier.h"
#include "frame/external_call.h"
#include "frame/gbk.h"
#include "frame/owned_handle.h"
#include "services/file_commands.h"
#include "services/service_call.h"
#include "services/utility_commands.h"

namespace app {
namespace {

constexpr int kStepCount = 11;
constexpr int32_t kStepPauseMs = 100;

int32_t width_of(uint32_t unit) { return frame::Unit{kInstallerWindow, unit}.read(frame::kWidth); }

void set_width(uint32_t unit, int32_t width) { frame::Unit{kInstallerWindow, unit}.write(frame::kWidth, width); }

void show_status(uint32_t text) {
  frame::Unit{kInstallerWindow, unit::kStatusLabel}.write(kLabelCaption, constant_text(text));
}

// Every missing level of the folder, one at a time from the top: "C:\Program Files
// (x86)" does not exist on 32-bit Windows, and a folder whose parent is missing
// could not be made at all.
void create_installation_folder(const std::string& path) {
  for (size_t i = 0; i < path.size(); i = frame::next_character(path, i)) {
    if (path[i] == '\\' && i > 0 && path[i - 1] != ':')
      services::call_service(services::create_directory_service, path.substr(0, i).c_str());
  }
  services::call_service(services::create_directory_service, path.c_str());
}

// The product files that could not be written, named for the user.
class FailedFiles {
 public:
  void write(const std::string& folder, const PayloadFile& file) {
    if (!write_payload_file(folder.c_str(), file)) name(constant_text(file.suffix));
  }
  // `suffix` is the file's name after a backslash.
  void name(const char* suffix) { names_ += std::string("\r\n") + (suffix + 1); }
  void tell_user() const {
    if (names_.empty()) return;
    const std::string message = std::string(constant_text(kFilesNotWrittenMessage)) + names_;
    warn_user_over_window(message.c_str());
  }

 private:
  std::string names_;
};

// A desktop whose path GBK cannot hold gets no shortcut rather than one under a
// garbled name; the user hears of it with the files that could not be written.
void make_shortcuts(const std::string& folder, FailedFiles& failed) {
  const std::string launcher = folder + constant_text(kSuffixLaunchExe);
  ShortcutDetails uninstall;
  uninstall.arguments = constant_text(kUninstallArgument);
  uninstall.window_style = 1;
  uninstall.description = constant_text(kShortcutDescription);
  make_shortcut((folder + constant_text(kSuffixUninstallShortcut)).c_str(), launcher.c_str(), uninstall);
  if (installer_state().desktop_shortcut_option != 1) return;
  const std::optional<std::string> desktop_folder = desktop_folder_path();
  if (!desktop_folder) return failed.name(constant_text(kSuffixDesktopShortcut));
  ShortcutDetails desktop;
  desktop.window_style = 1;
  desktop.description = constant_text(kShortcutDescription);
  const std::string file = *desktop_folder + constant_text(kSuffixDesktopShortcut);
  make_shortcut(file.c_str(), launcher.c_str(), desktop);
}

void run_step(int step, const std::string& folder, FailedFiles& failed) {
  const auto files = payload_files();
  if (step <= 6) {
    show_status(files[static_cast<size_t>(step - 1)].status_text);
    return failed.write(folder, files[static_cast<size_t>(step - 1)]);
  }
  switch (step) {
    case 7:
      show_status(kStatusShortcuts);
      return make_shortcuts(folder, failed);
    case 8:
      show_status(kStatusConfig);
      return remove_user_section();
    case 9:
      show_status(files[6].status_text);
      return failed.write(folder, files[6]);
    case 11:
      show_status(kStatusRegistration);
      return register_product();
  }
}

void run_install_procedure() {
  installer_state().installing = 1;
  const std::string target = installed_folder();
  create_installation_folder(target);
  const int32_t track_width = width_of(unit::kProgressTrack);
  const auto step_width = static_cast<int32_t>(static_cast<double>(track_width) / kStepCount);
  FailedFiles failed;
  for (int step = 1; step <= kStepCount; ++step) {
    set_width(unit::kProgressFill,
              static_cast<int32_t>(static_cast<double>(width_of(unit::kProgressFill)) + step_width));
    run_step(step, target, failed);
    services::call_service(services::delay_service, kStepPauseMs);
  }
  set_width(unit::kProgressFill, track_width);
  failed.tell_user();
  // Over before the finish page says so: a close asked for as the page appears
  // would otherwise be refused as if files were still being written.
  installer_state().installing = 0;
  set_group_visibility(kInstallingPage, false);
  set_group_visibility(kFinishPage, true);
  frame::Unit{kInstallerWindow, unit::kStartButton}.focus();
}

DWORD WINAPI install_worker(void*) {
  frame::guarded(run_install_procedure);
  return 0;
}

}  // namespace

// Nothing waits for the worker, so its thread handle is given back at once rather
// than held for the life of the process.
bool start_install_worker() {
  installer_state().installing = 1;
  take_installation_folder();
  const uint32_t thread =
      frame::call_external(kCreateThread, {0, 0, word_of(reinterpret_cast<const void*>(&install_worker)), 0, 0, 0},
                           kStartInstallRoutine, __LINE__);
  const frame::OwnedKernelHandle released(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(thread)));
  if (released) return true;
  forget_installed_folder();
  installer_state().installing = 0;
  return false;
}

}  // namespace app
