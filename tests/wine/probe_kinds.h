#pragma once
// A third unit library, of the tests' own, for what the installer's kinds never are:
// a container with pages (position 1) and a radio button (position 2). Their blocks:
//
//   page box:     u32 version 1, u32 page shown (from 0), u32 frame (0 grey, 1 black)
//   radio button: u32 version 1, u32 starts a group, text caption
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "frame/kind_descriptor.h"
#include "units/kind_table.h"

namespace probe_kinds {

inline constexpr uint32_t kPageBox = 0x00030001;
inline constexpr uint32_t kRadioButton = 0x00030002;

extern const frame::UnitLibrary kLibrary;

struct PageBoxBlock {
  uint32_t page = 0;
  uint32_t frame = 0;
};

// The frame is a style the system reads only when the window is made.
enum class PageBoxEffect : uint8_t { none, page, rebuild };

inline constexpr units::KindProperty<PageBoxBlock, PageBoxEffect> kPageBoxProperties[] = {
    {8, "page", frame::kPropertyInteger, &PageBoxBlock::page, units::kAnyWord, PageBoxEffect::page},
    {9, "frame", frame::kPropertyChoice, &PageBoxBlock::frame, 1, PageBoxEffect::rebuild},
};

struct RadioBlock {
  bool group_start = false;
  std::string caption;
};

// Starting a group is read from the style when the window is made.
enum class RadioEffect : uint8_t { none, caption, rebuild };

inline constexpr units::KindProperty<RadioBlock, RadioEffect> kRadioProperties[] = {
    {8, "group_start", frame::kPropertyBoolean, &RadioBlock::group_start, units::kAnyWord, RadioEffect::rebuild},
    {9, "caption", frame::kPropertyText, &RadioBlock::caption, units::kAnyWord, RadioEffect::caption},
};

std::optional<PageBoxBlock> decode_page_box_block(std::span<const uint8_t> data);
std::vector<uint8_t> encode(const PageBoxBlock& block);
std::optional<RadioBlock> decode_radio_block(std::span<const uint8_t> data);
std::vector<uint8_t> encode(const RadioBlock& block);

}  // namespace probe_kinds
