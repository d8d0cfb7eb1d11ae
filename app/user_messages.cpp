#include "app/user_messages.h"

#include "app/installer_units.h"
#include "services/service_call.h"
#include "services/utility_commands.h"

namespace app {
namespace {

constexpr int32_t kWarningOk = 0x30;

}  // namespace

void warn_user(const char* text) { services::call_service(services::message_box_service, text, kWarningOk); }

void warn_user_over_window(const char* text) {
  const frame::TypedValue window{kInstallerWindow, 0, frame::kTypeWindow};
  services::call_service(services::message_box_service, text, kWarningOk, services::omitted, window);
}

}  // namespace app
