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

namespace units {

inline constexpr uint32_t kWindowBlockVersion = 6;

// Choice properties run from 0 to these; the kind clamps written values into range.
inline constexpr uint32_t kMaxWindowBorderStyle = 6;
inline constexpr uint32_t kMaxWindowPictureMode = 3;
inline constexpr uint32_t kMaxSoundRepeat = 2;
inline constexpr uint32_t kMaxStartPosition = 3;
inline constexpr uint32_t kMaxWindowShape = 29;

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

// Accepts versions 0 to 6; fields an older version lacks keep their defaults.
// Returns nothing for a newer version or data that ends early.
std::optional<WindowBlock> decode_window_block(std::span<const uint8_t> data);

// Always writes version 6.
std::vector<uint8_t> encode(const WindowBlock& block);

}  // namespace units
