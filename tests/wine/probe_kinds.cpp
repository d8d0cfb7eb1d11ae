#include "probe_kinds.h"

#include <windows.h>

#include <array>

#include "frame/frame_services.h"
#include "units/block_fields.h"
#include "units/kind_adapter.h"

namespace probe_kinds {

// Both blocks are version 1 and have held every field from the start.
constexpr uint32_t kBlockVersion = 1;
constexpr std::tuple kPageBoxFields{units::block_field(&PageBoxBlock::page), units::block_field(&PageBoxBlock::frame)};
constexpr std::tuple kRadioFields{units::block_field(&RadioBlock::group_start),
                                  units::block_field(&RadioBlock::caption)};

std::optional<PageBoxBlock> decode_page_box_block(std::span<const uint8_t> data) {
  return units::decode_block(data, kBlockVersion, kPageBoxFields);
}

std::vector<uint8_t> encode(const PageBoxBlock& block) {
  return units::encode_block(block, kBlockVersion, kPageBoxFields);
}

std::optional<RadioBlock> decode_radio_block(std::span<const uint8_t> data) {
  return units::decode_block(data, kBlockVersion, kRadioFields);
}

std::vector<uint8_t> encode(const RadioBlock& block) { return units::encode_block(block, kBlockVersion, kRadioFields); }

namespace {

HMENU control_menu(const frame::CreateParams& params) {
  return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id));
}

// A plain static frame whose units are spread over pages; writing its page shows
// that page's units and hides the others'.
class PageBox : public units::KindUnit<PageBoxBlock, PageBoxEffect, kPageBoxProperties, decode_page_box_block> {
 public:
  PageBox(PageBoxBlock block, const frame::CreateParams& params)
      : KindUnit(std::move(block)), window_id_(params.window_id), unit_id_(params.unit_id) {}

  bool create_native_window(const frame::CreateParams& params) {
    const DWORD frame = properties_.frame == 0 ? SS_GRAYFRAME : SS_BLACKFRAME;
    hwnd_ =
        CreateWindowExA(0, "STATIC", "", WS_CHILD | frame | params.extra_style, params.left, params.top, params.width,
                        params.height, params.parent, control_menu(params), GetModuleHandleA(nullptr), nullptr);
    return hwnd_ != nullptr;
  }

  void apply(Effect effect, int) {
    if (effect == Effect::page) frame::show_selected_page(window_id_, unit_id_);
  }

  bool rebuilds_after(Effect effect) const { return effect == Effect::rebuild; }

  uint32_t selected_page() const override { return properties_.page; }

 private:
  uint32_t window_id_;
  uint32_t unit_id_;
};

// The system's own radio button, so that it answers as one to the window's
// keyboard handling.
class RadioButton : public units::KindUnit<RadioBlock, RadioEffect, kRadioProperties, decode_radio_block> {
 public:
  RadioButton(RadioBlock block, const frame::CreateParams&) : KindUnit(std::move(block)) {}

  bool create_native_window(const frame::CreateParams& params) {
    const DWORD style = WS_CHILD | BS_RADIOBUTTON | params.extra_style | (properties_.group_start ? WS_GROUP : 0);
    hwnd_ = CreateWindowExA(0, "BUTTON", properties_.caption.c_str(), style, params.left, params.top, params.width,
                            params.height, params.parent, control_menu(params), GetModuleHandleA(nullptr), nullptr);
    return hwnd_ != nullptr;
  }

  void apply(Effect effect, int) {
    if (effect == Effect::caption) SetWindowTextA(hwnd_, properties_.caption.c_str());
  }

  bool rebuilds_after(Effect effect) const { return effect == Effect::rebuild; }
};

constexpr units::KindNames kPageBoxNames = {"分页框", "PageBox", 0x80000140};
constexpr units::KindNames kRadioNames = {"单选框", "RadioButton", 0x80000040};

const frame::KindDescriptor kPageBoxKind = units::KindAdapter<PageBox, kPageBoxNames>::descriptor();
const frame::KindDescriptor kRadioKind = units::KindAdapter<RadioButton, kRadioNames>::descriptor();
const std::array<const frame::KindDescriptor*, 2> kKinds = {&kPageBoxKind, &kRadioKind};

intptr_t notify(int, intptr_t, intptr_t) { return 0; }

}  // namespace

const frame::UnitLibrary kLibrary = {kKinds.data(), static_cast<uint32_t>(kKinds.size()), notify};

}  // namespace probe_kinds
