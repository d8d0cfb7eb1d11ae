#include "app/unit_groups.h"

#include <array>
#include <span>

#include "app/installer_units.h"
#include "frame/unit_face.h"

namespace app {
namespace {

using namespace unit;

constexpr uint32_t kAgreementRowUnits[] = {kAgreeToggle, kAgreementLabel, kAgreementLink};
constexpr uint32_t kFirstPageUnits[] = {kQuickInstallButton, kCustomInstallButton};
constexpr uint32_t kCustomPageUnits[] = {kFolderFrame,       kFolderCaption, kFolderLabel,   kDesktopIconLabel,
                                         kDesktopIconToggle, kReturnButton,  kInstallButton, kBrowseButton};
constexpr uint32_t kInstallingPageUnits[] = {kProgressTrack, kProgressFill, kStatusLabel};
constexpr uint32_t kFinishPageUnits[] = {kStartBadgePicture, kStartButton};

constexpr std::array<std::span<const uint32_t>, 5> kGroups = {kAgreementRowUnits, kFirstPageUnits, kCustomPageUnits,
                                                              kInstallingPageUnits, kFinishPageUnits};

}  // namespace

void set_group_visibility(int group, bool shown) {
  if (group < 0 || group >= static_cast<int>(kGroups.size())) return;
  for (uint32_t unit_id : kGroups[static_cast<size_t>(group)]) {
    frame::Unit{kInstallerWindow, unit_id}.write(frame::kVisible, shown);
  }
}

}  // namespace app
