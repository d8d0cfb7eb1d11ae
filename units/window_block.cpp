#include "units/window_block.h"

#include "frame/byte_reader.h"

namespace units {

using frame::ByteReader;
using frame::ByteWriter;
using frame::store;

namespace {

bool read_settings(ByteReader& r, WindowBlock& b) {
  return store(r.u32(), b.border_style) && store(r.u32(), b.picture_mode) && store(r.u32(), b.background_colour) &&
         store(r.u32_flag(), b.maximize_box) && store(r.u32_flag(), b.minimize_box) &&
         store(r.u32_flag(), b.control_box) && store(r.u32(), b.start_position) && store(r.u32_flag(), b.movable) &&
         store(r.u32(), b.sound_repeat) && store(r.u32_flag(), b.enter_moves_focus) &&
         store(r.u32_flag(), b.esc_closes) && store(r.u32_flag(), b.f1_opens_help) && store(r.u32(), b.help_context);
}

// Each version appended fields to the one before it.
bool read_versioned_settings(ByteReader& r, uint32_t version, WindowBlock& b) {
  return (version < 2 || store(r.u32_flag(), b.show_in_taskbar)) &&
         (version < 3 || (store(r.u32_flag(), b.drag_anywhere) && store(r.u32(), b.shape))) &&
         (version < 4 || store(r.u32_flag(), b.always_on_top)) &&
         (version < 5 || store(r.u32_flag(), b.keep_caption_active)) &&
         (version < 6 || store(r.counted_text(), b.class_name));
}

bool read_contents(ByteReader& r, WindowBlock& b) {
  return store(r.counted_bytes(), b.background_picture) && store(r.counted_bytes(), b.icon) &&
         store(r.counted_bytes(), b.background_sound) && store(r.counted_text(), b.title) &&
         store(r.counted_text(), b.help_file);
}

}  // namespace

std::optional<WindowBlock> decode_window_block(std::span<const uint8_t> data) {
  return frame::read_versioned_block<WindowBlock>(
      data, kWindowBlockVersion, [](ByteReader& r, uint32_t version, WindowBlock& b) {
        return read_settings(r, b) && read_versioned_settings(r, version, b) && read_contents(r, b);
      });
}

std::vector<uint8_t> encode(const WindowBlock& b) {
  ByteWriter w;
  w.u32(kWindowBlockVersion);
  w.u32(b.border_style);
  w.u32(b.picture_mode);
  w.u32(b.background_colour);
  w.flag(b.maximize_box);
  w.flag(b.minimize_box);
  w.flag(b.control_box);
  w.u32(b.start_position);
  w.flag(b.movable);
  w.u32(b.sound_repeat);
  w.flag(b.enter_moves_focus);
  w.flag(b.esc_closes);
  w.flag(b.f1_opens_help);
  w.u32(b.help_context);
  w.flag(b.show_in_taskbar);
  w.flag(b.drag_anywhere);
  w.u32(b.shape);
  w.flag(b.always_on_top);
  w.flag(b.keep_caption_active);
  w.counted_text(b.class_name);
  w.counted_bytes(b.background_picture);
  w.counted_bytes(b.icon);
  w.counted_bytes(b.background_sound);
  w.counted_text(b.title);
  w.counted_text(b.help_file);
  return w.take();
}

}  // namespace units
