// The two ways into the installation: the quick install from the first page, which
// asks for the agreement, and the custom install, which does not.
#include "app/constants.h"
#include "app/handlers.h"
#include "app/install_procedure.h"
#include "app/installer_state.h"
#include "app/unit_groups.h"
#include "app/user_messages.h"

namespace {

// The page the installation was started from comes back, so the user can try again.
void return_to(app::UnitGroup page) {
  app::set_group_visibility(app::kInstallingPage, false);
  app::set_group_visibility(app::kAgreementRow, true);
  app::set_group_visibility(page, true);
  app::warn_user_over_window(app::constant_text(app::kWorkerNotStartedMessage));
}

// Once only: the second click of a quick double click is already queued to the
// button when the first one hides it.
void begin_installation_from(app::UnitGroup page) {
  if (app::installer_state().installing != 0) return;
  app::set_group_visibility(page, false);
  app::set_group_visibility(app::kInstallingPage, true);
  app::set_group_visibility(app::kAgreementRow, false);
  if (!app::start_install_worker()) return_to(page);
}

}  // namespace

extern "C" {

void __stdcall on_quick_install_clicked() {
  if (app::installer_state().agreement_option == 0) {
    app::warn_user(app::constant_text(app::kAgreementMessage));
    return;
  }
  begin_installation_from(app::kFirstPage);
}

void __stdcall on_install_clicked() { begin_installation_from(app::kCustomPage); }

}  // extern "C"
