#pragma once
// The `window` kind: the top-level window of a template, painted by its own
// properties, holding every other unit of the window as a child.
#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "frame/kind_descriptor.h"
#include "frame/unit_object.h"
#include "frame/window_table.h"
#include "pictures/picture_drawing.h"
#include "units/window_block.h"
#include "units/window_sound.h"

namespace units {

// The private message the tray icon calls back with.
inline constexpr UINT kMsgTrayIcon = 0x8064;

class WindowUnit : public frame::UnitObject {
 public:
  // What the kind adapter builds the kind from (window_properties.cpp).
  using Block = WindowBlock;
  using Effect = WindowEffect;
  static constexpr const auto& kProperties = kWindowProperties;
  static std::optional<Block> decode(std::span<const uint8_t> data) { return decode_window_block(data); }
  WindowUnit(WindowBlock properties, const frame::CreateParams& params);
  bool create_native_window(const frame::CreateParams& params);
  Block& block() { return properties_; }
  const Block& block() const { return properties_; }
  void before_write(Effect effect);
  void apply(Effect effect, int slot);
  std::optional<uint32_t> live_word(int slot) const;

  const WindowBlock& properties() const { return properties_; }
  bool pre_translate_message(MSG& message) override;
  COLORREF background_colour() const override;

  // The notification-area icon (window_tray.cpp): icon bytes in any icon form, and a
  // tip cut to 62 bytes. A new icon replaces the shown one; no bytes remove it.
  // False when the bytes are no icon or the shell refuses.
  bool set_tray_icon(std::span<const uint8_t> icon_bytes, const std::string& tip);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  // Creation and styles (window_kind.cpp).
  DWORD window_style(bool as_child, bool owned) const;
  DWORD window_ex_style() const;
  void apply_styles();
  void apply_start_position();
  void apply_movable();
  void apply_always_on_top();
  void apply_shape();
  uint32_t live_start_position() const;

  // Life cycle and activation (window_kind.cpp).
  void on_size();
  void on_activate(WPARAM state);
  void on_set_focus();
  void on_close();
  void on_close_request();
  void on_destroy();
  LRESULT on_nc_activate(WPARAM active, LPARAM lparam);
  void on_left_button_down();
  void start_drag();
  std::optional<uint64_t> raise(int event, std::span<const uint32_t> arguments = {});
  bool raise_refusable(int event);
  static void on_nc_destroy(WindowUnit* self);

  // Units of this window as the frame keeps them.
  frame::WindowRecord* record() const;
  const frame::UnitInstance* unit_of(HWND hwnd) const;
  bool unit_drags_window(HWND unit) const;

  // Background (window_background.cpp).
  void repaint_background();
  void on_paint();
  void paint_background(HDC dc, const RECT& area);
  const pictures::LoadedPicture* background_picture();
  const pictures::DrawingContext* prepared_background(HDC dc);
  void drop_background_picture();
  std::optional<RECT> draw_background_picture(HDC dc, const RECT& clip);

  // Keyboard (window_keyboard.cpp).
  bool on_key_down(const MSG& message);
  bool on_mnemonic(HWND focus, char key);
  void on_enter(HWND focus);
  void open_help();
  void quit_help();
  std::vector<HWND> tab_stops() const;
  void move_focus(bool forward);
  void focus_first_tab_stop();

  // Icons and cursors (window_icons.cpp).
  void apply_icons();
  bool on_set_cursor(HWND target, WORD hit_test);

  // Tray icon (window_tray.cpp).
  void on_tray_message(LPARAM mouse_message);
  void remove_tray_icon();

  // Background sound.
  void start_sound();

  WindowBlock properties_;
  uint32_t window_id_;
  uint32_t unit_id_;
  bool as_child_ = false;
  // Decoded on first paint, dropped when the picture bytes change.
  std::optional<pictures::LoadedPicture> decoded_background_;
  bool background_decoded_ = false;
  // The decoded picture made ready for the screen on first paint and kept in place
  // of the decoded pixels: making it is most of a paint's cost, and every text a
  // label over the window shows repaints the window under it. Dropped, with the
  // decoded picture, when the picture or the colour PNG transparency blends with
  // changes.
  std::optional<pictures::DrawingContext> prepared_background_;
  // Made from the icon property; empty while the application's icons are used.
  frame::OwnedIcon large_icon_;
  frame::OwnedIcon small_icon_;
  // The cursor of the unit that last asked, with the picture it was made from.
  std::vector<uint8_t> cursor_picture_;
  frame::OwnedIcon cursor_;
  HWND remembered_focus_ = nullptr;
  bool activated_once_ = false;
  bool help_opened_ = false;
  frame::OwnedIcon tray_icon_;
  BackgroundSound sound_;
};

}  // namespace units
