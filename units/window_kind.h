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
#include "units/kind_adapter.h"
#include "units/window_background_picture.h"
#include "units/window_block.h"
#include "units/window_keyboard_navigation.h"
#include "units/window_sound.h"
#include "units/window_tray_icon.h"
#include "units/window_ui_state.h"

namespace units {

class WindowUnit : public KindUnit<WindowBlock, WindowEffect, kWindowProperties, decode_window_block> {
 public:
  // The rest of what the kind adapter builds the kind from (window_properties.cpp).
  WindowUnit(WindowBlock properties, const frame::CreateParams& params);
  bool create_native_window(const frame::CreateParams& params);
  void before_write(Effect effect);
  void apply(Effect effect, int slot);
  std::optional<uint32_t> live_word(int slot) const;

  bool pre_translate_message(MSG& message) override;
  COLORREF background_colour() const override;

  // The window's notification-area icon, as TrayIcon::set takes it.
  bool set_tray_icon(std::span<const uint8_t> icon_bytes, const std::string& tip);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void announce_ui_state(WPARAM change);

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
  void limit_maximised_to_work_area(MINMAXINFO& limits) const;
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
  const frame::UnitInstance* unit_receiving(HWND target) const;
  void raise_input_event(const MSG& message);

  // Painting: the background picture, and the colour where it leaves room.
  void repaint_background();
  void on_paint();
  void paint_background(HDC dc, const RECT& area);

  KeyboardWindow keyboard_window() const { return {hwnd_, record(), properties_}; }
  void on_tray_message(LPARAM mouse_message);

  // Icons and cursors (window_icons.cpp).
  void apply_icons();
  bool on_set_cursor(HWND target, WORD hit_test);

  void start_sound();

  uint32_t window_id_;
  uint32_t unit_id_;
  bool as_child_ = false;
  BackgroundPicture background_picture_;
  // Made from the icon property; empty while the application's icons are used.
  frame::OwnedIcon large_icon_;
  frame::OwnedIcon small_icon_;
  // The cursor of the unit that last asked, with the picture it was made from.
  std::vector<uint8_t> cursor_picture_;
  frame::OwnedIcon cursor_;
  HWND remembered_focus_ = nullptr;
  bool activated_once_ = false;
  KeyboardNavigation keyboard_;
  WindowUiState ui_state_;
  TrayIcon tray_icon_;
  BackgroundSound sound_;
};

}  // namespace units
