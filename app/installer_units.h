#pragma once
// The installer window's units by role, as its window template names them.
#include <cstdint>

namespace app {

constexpr uint32_t kInstallerWindow = 0x52010001;

namespace unit {
constexpr uint32_t kStartBadgePicture = 0x16010070;
constexpr uint32_t kStartButton = 0x1601006F;
constexpr uint32_t kStatusLabel = 0x1601006E;
constexpr uint32_t kProgressFill = 0x1601005E;
constexpr uint32_t kProgressTrack = 0x1601005D;
constexpr uint32_t kReturnButton = 0x16010044;
constexpr uint32_t kInstallButton = 0x16010043;
constexpr uint32_t kPortableLabel = 0x16010041;
constexpr uint32_t kPortableToggle = 0x16010042;
constexpr uint32_t kDesktopIconLabel = 0x1601003F;
constexpr uint32_t kDesktopIconToggle = 0x16010040;
constexpr uint32_t kFolderLabel = 0x1601003E;
constexpr uint32_t kFolderCaption = 0x1601003D;
constexpr uint32_t kBrowseButton = 0x1601003C;
constexpr uint32_t kFolderFrame = 0x1601003B;
constexpr uint32_t kCustomInstallButton = 0x16010032;
constexpr uint32_t kAgreementLink = 0x1601001D;
constexpr uint32_t kAgreementLabel = 0x16010009;
constexpr uint32_t kAgreeToggle = 0x16010008;
constexpr uint32_t kCloseButton = 0x16010006;
constexpr uint32_t kQuickInstallButton = 0x16010004;
}  // namespace unit

// Kind properties the installer writes.
constexpr int kLabelCaption = 8;
constexpr int kButtonNormalPicture = 10;
constexpr int kButtonHoverPicture = 11;
constexpr int kButtonPressedPicture = 12;

}  // namespace app
