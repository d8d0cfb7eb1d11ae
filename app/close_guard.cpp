// Closing the installer: never while it is writing the product's files. The close
// button asks here, and so do Esc and the system close command through the window's
// close-query event, so no way of closing can end the process half-way through.
#include "app/constants.h"
#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "app/user_messages.h"
#include "services/service_call.h"
#include "services/utility_commands.h"

namespace {

bool refuse_while_installing() {
  if (app::installer_state().installing == 0) return false;
  app::warn_user(app::constant_text(app::kInstallingMessage));
  return true;
}

}  // namespace

extern "C" {

void __stdcall on_close_clicked() {
  if (refuse_while_installing()) return;
  const frame::TypedValue window{app::kInstallerWindow, 0, frame::kTypeWindow};
  services::call_service(services::close_window_service, window);
}

int __stdcall on_window_close_asked() { return refuse_while_installing() ? 0 : 1; }

}  // extern "C"
