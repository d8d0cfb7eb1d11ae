// The installer window's start: the first page, both options ticked, and the
// folder of an earlier installation (or the default one) offered.
#include "app/constants.h"
#include "app/declared_functions.h"
#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "app/toggles.h"
#include "app/unit_groups.h"
#include "app/unit_properties.h"
#include "services/registry_commands.h"
#include "services/service_call.h"
#include "services/text_commands.h"

#include <string>

namespace app {
namespace {

constexpr int32_t kLocalMachine = 4;

// The registered folder without the double quotes the registration put around it;
// empty when there is none.
services::OwnedText previous_installation_folder() {
  const char* path = constant_text(kPathUninstallInstallLocation);
  const bool exists = services::call_service(services::registry_exists_service, kLocalMachine, path).low != 0;
  if (!exists) return {};
  const services::OwnedText stored =
      services::take_text(services::call_service(services::registry_read_text_service, kLocalMachine, path));
  return services::take_text(services::call_service(services::text_replace_service, stored.get(),
                                                    constant_text(kDoubleQuote), services::omitted, services::omitted,
                                                    services::omitted, true));
}

}  // namespace

void show_installation_folder() {
  frame::Unit{kInstallerWindow, unit::kFolderLabel}.write(kLabelCaption, installer_state().installation_folder);
}

}  // namespace app

extern "C" void __stdcall on_window_created() {
  using namespace app;
  set_group_visibility(kAgreementRow, true);
  set_group_visibility(kFirstPage, true);
  set_group_visibility(kCustomPage, false);
  set_group_visibility(kInstallingPage, false);
  set_group_visibility(kFinishPage, false);
  on_desktop_icon_toggled();
  on_agree_toggled();
  frame::Unit{kInstallerWindow, unit::kProgressFill}.present_as(frame::AccessibleRole::progress_bar);
  const services::OwnedText previous = previous_installation_folder();
  const std::string_view folder = services::text_of(previous);
  set_installation_folder(folder.empty() ? constant_text(kDefaultInstallationFolder) : std::string(folder).c_str());
  show_installation_folder();
}
