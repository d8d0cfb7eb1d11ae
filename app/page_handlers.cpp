// Moving between the first page and the custom-install page. The focus goes to the
// page's main action, so a keyboard user can go on with Enter.
#include "app/handlers.h"
#include "app/installer_units.h"
#include "app/unit_groups.h"
#include "frame/unit_face.h"

extern "C" {

void __stdcall on_custom_install_clicked() {
  app::set_group_visibility(app::kFirstPage, false);
  app::set_group_visibility(app::kCustomPage, true);
  frame::Unit{app::kInstallerWindow, app::unit::kInstallButton}.focus();
}

void __stdcall on_return_clicked() {
  app::set_group_visibility(app::kFirstPage, true);
  app::set_group_visibility(app::kCustomPage, false);
  frame::Unit{app::kInstallerWindow, app::unit::kQuickInstallButton}.focus();
}

}  // extern "C"
