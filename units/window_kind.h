#pragma once
// The `window` kind: the top-level window of a template, painted by its own
// properties, holding every other unit of the window as a child.
#include <windows.h>

#include <optional>

#include "frame/kind_descriptor.h"
#include "frame/unit_object.h"
#include "pictures/picture_drawing.h"
#include "units/window_block.h"

namespace units {

class WindowUnit : public frame::UnitObject {
 public:
  static frame::UnitObject* create(const frame::CreateParams& params);

  const WindowBlock& properties() const { return properties_; }
  bool pre_translate_message(MSG& message) override;
  COLORREF background_colour() const override;
  // Set by the close-window service: only a marked window obeys a close request.
  void mark_closing() { closing_ = true; }

  // The kind's own properties, slot - 8 (window_properties.cpp).
  void get_property(int index, frame::PropertyValue& value) const;
  void set_property(int index, const frame::PropertyValue& value);

 private:
  WindowUnit(WindowBlock properties, uint32_t window_id, uint32_t unit_id);

  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  bool create_native_window(const frame::CreateParams& params);
  DWORD window_style(bool as_child) const;
  DWORD window_ex_style() const;
  void apply_styles();
  void repaint_background();
  void apply_start_position();
  void apply_movable();
  void apply_always_on_top();
  uint32_t live_start_position() const;
  void on_paint();
  void paint_background(HDC dc, const RECT& area);
  const pictures::LoadedPicture* background_picture();
  std::optional<RECT> draw_background_picture(HDC dc, const RECT& clip);
  void on_close();
  void on_close_request();
  void on_left_button_down();
  bool unit_drags_window(HWND unit) const;
  std::optional<uint64_t> raise(int event);
  bool raise_refusable(int event);
  static void on_nc_destroy(WindowUnit* self);

  WindowBlock properties_;
  uint32_t window_id_;
  uint32_t unit_id_;
  bool closing_ = false;
  bool as_child_ = false;
  // Decoded on first paint, dropped when the picture bytes change.
  std::optional<pictures::LoadedPicture> decoded_background_;
  bool background_decoded_ = false;
};

}  // namespace units
