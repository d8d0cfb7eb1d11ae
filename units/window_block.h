// Property block of the top-level window kind (its kind data in the template).
//
//   u32 version (0..6)
//   u32 border style, picture mode, background colour, maximize box, minimize box,
//       control box, start position, movable, sound repeat, Enter moves focus,
//       Esc closes, F1 opens help, help context
//   version >= 2: u32 show in taskbar
//   version >= 3: u32 drag anywhere, u32 shape
//   version >= 4: u32 always on top
//   version >= 5: u32 keep caption active
//   version  = 6: text window class name
//   bytes background picture, bytes icon, bytes background sound, text title, text help file
//
// Texts and byte arrays are a u32 length and the bytes; texts are GBK.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "units/block_fields.h"
#include "units/kind_table.h"

namespace units {

inline constexpr KindNames kWindowNames = {"窗口", "window", 0x800000D0};

inline constexpr uint32_t kWindowBlockVersion = 6;

struct WindowBlock {
  uint32_t border_style = 2;
  uint32_t picture_mode = 1;
  uint32_t background_colour = 0xFF000000;  // the system button-face colour
  bool maximize_box = false;
  bool minimize_box = true;
  bool control_box = true;
  uint32_t start_position = 1;
  bool movable = true;
  uint32_t sound_repeat = 0;
  bool enter_moves_focus = false;
  bool esc_closes = true;
  bool f1_opens_help = false;
  uint32_t help_context = 0;
  bool show_in_taskbar = true;
  bool drag_anywhere = false;
  uint32_t shape = 0;
  bool always_on_top = false;
  bool keep_caption_active = false;
  std::string class_name;  // empty means the frame's default class
  std::vector<uint8_t> background_picture;
  std::vector<uint8_t> icon;
  std::vector<uint8_t> background_sound;
  std::string title;
  std::string help_file;
};

inline constexpr std::tuple kWindowFields{
    block_field(&WindowBlock::border_style),
    block_field(&WindowBlock::picture_mode),
    block_field(&WindowBlock::background_colour),
    block_field(&WindowBlock::maximize_box),
    block_field(&WindowBlock::minimize_box),
    block_field(&WindowBlock::control_box),
    block_field(&WindowBlock::start_position),
    block_field(&WindowBlock::movable),
    block_field(&WindowBlock::sound_repeat),
    block_field(&WindowBlock::enter_moves_focus),
    block_field(&WindowBlock::esc_closes),
    block_field(&WindowBlock::f1_opens_help),
    block_field(&WindowBlock::help_context),
    block_field(&WindowBlock::show_in_taskbar, 2),
    block_field(&WindowBlock::drag_anywhere, 3),
    block_field(&WindowBlock::shape, 3),
    block_field(&WindowBlock::always_on_top, 4),
    block_field(&WindowBlock::keep_caption_active, 5),
    block_field(&WindowBlock::class_name, 6),
    block_field(&WindowBlock::background_picture),
    block_field(&WindowBlock::icon),
    block_field(&WindowBlock::background_sound),
    block_field(&WindowBlock::title),
    block_field(&WindowBlock::help_file),
};

// What a write does to a live window beyond storing the value.
enum class WindowEffect : uint8_t {
  none,
  title,
  styles,
  background,
  picture_mode,
  sound,
  start_position,
  movable,
  icons,
  shape,
  always_on_top,
};

inline constexpr KindProperty<WindowBlock, WindowEffect> kWindowProperties[] = {
    {8, "title", frame::kPropertyText, &WindowBlock::title, kAnyWord, WindowEffect::title},
    {9, "border_style", frame::kPropertyChoice, &WindowBlock::border_style, 6, WindowEffect::styles},
    {10, "background_colour", frame::kPropertyBackgroundColour, &WindowBlock::background_colour, kAnyWord,
     WindowEffect::background},
    {11, "background", frame::kPropertyPicture, &WindowBlock::background_picture, kAnyWord, WindowEffect::background},
    {12, "picture_mode", frame::kPropertyChoice, &WindowBlock::picture_mode, 3, WindowEffect::picture_mode},
    {13, "sound", frame::kPropertySound, &WindowBlock::background_sound, kAnyWord, WindowEffect::sound},
    {14, "sound_repeat", frame::kPropertyChoice, &WindowBlock::sound_repeat, 2},
    {15, "control_box", frame::kPropertyBoolean, &WindowBlock::control_box, kAnyWord, WindowEffect::styles},
    {16, "maximize_box", frame::kPropertyBoolean, &WindowBlock::maximize_box, kAnyWord, WindowEffect::styles},
    {17, "minimize_box", frame::kPropertyBoolean, &WindowBlock::minimize_box, kAnyWord, WindowEffect::styles},
    {18, "start_position", frame::kPropertyChoice, &WindowBlock::start_position, 3, WindowEffect::start_position},
    {19, "movable", frame::kPropertyBoolean, &WindowBlock::movable, kAnyWord, WindowEffect::movable},
    {20, "icon", frame::kPropertyIcon, &WindowBlock::icon, kAnyWord, WindowEffect::icons},
    {21, "enter_moves_focus", frame::kPropertyBoolean, &WindowBlock::enter_moves_focus},
    {22, "esc_closes", frame::kPropertyBoolean, &WindowBlock::esc_closes},
    {23, "f1_opens_help", frame::kPropertyBoolean, &WindowBlock::f1_opens_help},
    {24, "help_file", frame::kPropertyFileName, &WindowBlock::help_file},
    {25, "help_context", frame::kPropertyInteger, &WindowBlock::help_context},
    {26, "show_in_taskbar", frame::kPropertyBoolean, &WindowBlock::show_in_taskbar},
    {27, "drag_anywhere", frame::kPropertyBoolean, &WindowBlock::drag_anywhere},
    {28, "shape", frame::kPropertyChoice, &WindowBlock::shape, 29, WindowEffect::shape},
    {29, "always_on_top", frame::kPropertyBoolean, &WindowBlock::always_on_top, kAnyWord, WindowEffect::always_on_top},
    {30, "keep_caption_active", frame::kPropertyBoolean, &WindowBlock::keep_caption_active},
    {31, "class_name", frame::kPropertyText, &WindowBlock::class_name},
};
static_assert(slots_follow_the_common_ones(kWindowProperties));

// Accepts versions 0 to 6; fields an older version lacks keep their defaults.
// Returns nothing for a newer version or data that ends early.
std::optional<WindowBlock> decode_window_block(std::span<const uint8_t> data);

// Always writes version 6.
std::vector<uint8_t> encode(const WindowBlock& block);

}  // namespace units
