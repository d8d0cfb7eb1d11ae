// Moving between the first page and the custom-install page.
#include "app/handlers.h"
#include "app/unit_groups.h"

extern "C" {

void __stdcall on_custom_install_clicked() {
  app::set_group_visibility(app::kFirstPage, false);
  app::set_group_visibility(app::kCustomPage, true);
}

void __stdcall on_return_clicked() {
  app::set_group_visibility(app::kFirstPage, true);
  app::set_group_visibility(app::kCustomPage, false);
}

}  // extern "C"
