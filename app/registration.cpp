#include "app/registration.h"

#include <string>

#include "app/constants.h"
#include "app/installer_state.h"
#include "services/file_commands.h"
#include "services/registry_commands.h"
#include "services/service_call.h"

namespace app {
namespace {

constexpr int32_t kLocalMachine = 4;
constexpr int32_t kEstimatedSizeKilobytes = 2048;

const char* text(uint32_t offset) { return constant_text(offset); }

std::string folder() { return installed_folder(); }

// Every write opens or creates the key itself; no result is examined.
template <typename Value>
void write_value(uint32_t path, const Value& value) {
  services::call_service(services::registry_write_service, kLocalMachine, text(path), value);
}

bool already_registered() {
  const services::OwnedText location = services::take_text(services::call_service(
      services::registry_read_text_service, kLocalMachine, text(kPathUninstallInstallLocation), text(kEmptyText)));
  return !services::text_of(location).empty();
}

}  // namespace

void remove_user_section() {
  const std::string config = folder() + text(kSuffixConfigIni);
  services::call_service(services::ini_write_service, config.c_str(), text(kSectionUser));
}

void register_product() {
  if (already_registered()) return;
  const std::string quote = text(kDoubleQuote);
  const std::string quoted_folder = quote + folder() + quote;
  const std::string uninstall_command = quote + folder() + text(kLauncherUninstallTail);
  const std::string display_icon = quote + folder() + text(kLauncherQuotedTail);
  write_value(kPathUninstallDefault, text(kEmptyText));
  write_value(kPathUninstallDisplayVersion, text(kDisplayVersion));
  write_value(kPathUninstallVersionMajor, int32_t{1});
  write_value(kPathUninstallVersionMinor, int32_t{0});
  write_value(kPathUninstallDisplayName, text(kProductKeyWord));
  write_value(kPathUninstallEstimatedSize, kEstimatedSizeKilobytes);
  write_value(kPathUninstallHelpLink, text(kHomePageUrl));
  write_value(kPathUninstallInstallLocation, quoted_folder.c_str());
  write_value(kPathUninstallPublisher, text(kProductKeyWord));
  write_value(kPathUninstallVersionBuild, int32_t{0});
  write_value(kPathUninstallWindowsInstaller, int32_t{0});
  write_value(kPathUninstallUninstallString, uninstall_command.c_str());
  write_value(kPathUninstallDisplayIcon, display_icon.c_str());
}

}  // namespace app
