#pragma once
// The kind properties the installer writes, by their names in the kinds' tables.
#include "units/label_block.h"
#include "units/picture_button_block.h"

namespace app {

inline constexpr int kLabelCaption = units::slot_of(units::kLabelProperties, "text");
inline constexpr int kButtonNormalPicture = units::slot_of(units::kPictureButtonProperties, "normal");
inline constexpr int kButtonHoverPicture = units::slot_of(units::kPictureButtonProperties, "hover");
inline constexpr int kButtonPressedPicture = units::slot_of(units::kPictureButtonProperties, "pressed");

}  // namespace app
