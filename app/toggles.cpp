#include "app/toggles.h"

#include "app/constants.h"
#include "app/declared_functions.h"
#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "frame/properties.h"

namespace app {
namespace {

void toggle(int& option, uint32_t button) {
  option = (option & 1) ^ 1;
  const uint32_t picture = option == 1 ? kToggleTickedPicture : kToggleEmptyPicture;
  // An embedded blob is laid out as the byte array the property takes.
  const uint32_t array = word_of(blob_at(picture).array);
  for (int slot : {kButtonNormalPicture, kButtonHoverPicture, kButtonPressedPicture}) {
    frame::write_property(kInstallerWindow, button, slot, -1, array, 0);
  }
}

}  // namespace
}  // namespace app

extern "C" {

void __stdcall on_desktop_icon_toggled() {
  app::toggle(app::installer_state().desktop_shortcut_option, app::unit::kDesktopIconToggle);
}

void __stdcall on_agree_toggled() { app::toggle(app::installer_state().agreement_option, app::unit::kAgreeToggle); }

void __stdcall on_portable_toggled() { app::toggle(app::installer_state().third_option, app::unit::kPortableToggle); }

}  // extern "C"
