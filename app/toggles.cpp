#include "app/toggles.h"

#include "app/constants.h"
#include "app/declared_functions.h"
#include "app/handlers.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "app/unit_properties.h"

namespace app {
namespace {

constexpr int32_t kToggleButton = 1;

// The button is made a toggle and told the option as well as shown it, so that it
// reports itself to assistive technology as a check box ticked or not. Its three
// faces are the same box, so it looks the same either way.
void toggle(int& option, uint32_t button) {
  option = (option & 1) ^ 1;
  const uint32_t picture = option == 1 ? kToggleTickedPicture : kToggleEmptyPicture;
  // An embedded blob is laid out as the byte array the property takes.
  const frame::ByteArray array{blob_at(picture).array};
  const frame::Unit unit{kInstallerWindow, button};
  for (const auto slot : {kButtonNormalPicture, kButtonHoverPicture, kButtonPressedPicture}) unit.write(slot, array);
  unit.write(kButtonType, kToggleButton);
  unit.write(kButtonChecked, option == 1);
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
