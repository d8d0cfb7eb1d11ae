#pragma once
// The kind properties the installer writes, typed and numbered by the kinds' tables.
#include "frame/unit_face.h"
#include "units/label_block.h"
#include "units/picture_button_block.h"

namespace app {

inline constexpr auto kLabelCaption = units::typed_slot<const char*>(units::kLabelProperties, "text");
inline constexpr auto kButtonType = units::typed_slot<int32_t>(units::kPictureButtonProperties, "button_type");
inline constexpr auto kButtonChecked = units::typed_slot<bool>(units::kPictureButtonProperties, "checked");
inline constexpr auto kButtonNormalPicture =
    units::typed_slot<frame::ByteArray>(units::kPictureButtonProperties, "normal");
inline constexpr auto kButtonHoverPicture =
    units::typed_slot<frame::ByteArray>(units::kPictureButtonProperties, "hover");
inline constexpr auto kButtonPressedPicture =
    units::typed_slot<frame::ByteArray>(units::kPictureButtonProperties, "pressed");

}  // namespace app
