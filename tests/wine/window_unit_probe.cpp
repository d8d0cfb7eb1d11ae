// A program on the frame with one borderless window (layouts/window-behaviour.json)
// that sets the window up as its scenario says and then runs the message loop, so
// that window_unit_tests.cpp can look at it and drive it with real input. A few
// scenarios look at the window from inside and log what they saw.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "frame/application.h"
#include "frame/frame_heap.h"
#include "frame/frame_services.h"
#include "frame/program_header.h"
#include "frame/properties.h"
#include "frame/unit_object.h"
#include "probe_header.h"
#include "probe_support.h"
#include "unit_properties.h"
#include "units/unit_libraries.h"
#include "units/window_kind.h"

extern "C" const uint8_t probe_handler_table[];

namespace {

using probe::log_line;

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kOwnRecord = 0x06010000;
constexpr support::WindowProperties kProperties(kWindow);
// The units of layouts/window-behaviour.json, whose ids follow their record order.
enum Unit : uint32_t { kPicture = 0x16010002, kButton };
constexpr int kPictureMode = units::slot_of(units::kWindowProperties, "picture_mode");
constexpr int kIcon = units::slot_of(units::kWindowProperties, "icon");
constexpr int kShape = units::slot_of(units::kWindowProperties, "shape");

HWND window_handle() { return frame::Application::instance().windows().find(kWindow)->hwnd(); }

units::WindowUnit& window_unit() {
  return *static_cast<units::WindowUnit*>(
      frame::Application::instance().windows().find(kWindow)->window_unit()->object.get());
}

void load() { frame::load_startup_window(kWindow); }

void run_loop() {
  frame::run_message_loop();
  log_line("loop returned");
}

void hide_units() {
  kProperties.write_int(kPicture, frame::kPropertyVisible, 0);
  kProperties.write_int(kButton, frame::kPropertyVisible, 0);
}

void resize(int32_t width, int32_t height) {
  kProperties.write_int(kOwnRecord, frame::kPropertyWidth, width);
  kProperties.write_int(kOwnRecord, frame::kPropertyHeight, height);
}

void as_loaded() {
  load();
  run_loop();
}

void refusing_first_close() {
  probe::refuse_first_close();
  as_loaded();
}

void shape(int32_t number, int32_t width, int32_t height) {
  load();
  resize(width, height);
  kProperties.write_int(kOwnRecord, kShape, number);
  run_loop();
}

void rounded_rectangle() { shape(2, 100, 40); }
void triangle() { shape(5, 120, 60); }

void centred_picture() {
  load();
  hide_units();
  run_loop();
}

void fitted_picture() {
  load();
  hide_units();
  resize(40, 100);
  run_loop();
}

void tiled_picture() {
  load();
  hide_units();
  kProperties.write_int(kOwnRecord, kPictureMode, 1);
  run_loop();
}

// The paint-into message paints the background into a context it is handed.
void paint_into() {
  load();
  const support::Canvas canvas(200, 150);
  const RECT area{0, 0, 200, 150};
  const LRESULT answer = SendMessageA(window_handle(), frame::kMsgPaintInto, reinterpret_cast<WPARAM>(canvas.dc()),
                                      reinterpret_cast<LPARAM>(&area));
  log_line("answer " + std::to_string(answer));
  log_line("picture corner " + probe::hex(canvas.at(60, 55)));
  log_line("background " + probe::hex(canvas.at(0, 0)));
  DestroyWindow(window_handle());
}

std::string icon_size(HICON icon) {
  ICONINFO info = {};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return "none";
  BITMAP bitmap = {};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight);
}

// The icon property becomes the window's large and small icons; emptying it falls
// back to the program's icons, of which this probe has none.
void icons() {
  load();
  const HWND hwnd = window_handle();
  log_line("large " + icon_size(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0))));
  log_line("small " + icon_size(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0))));
  kProperties.write_int(kOwnRecord, kIcon, 0);
  log_line("emptied large " + icon_size(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0))));
  DestroyWindow(hwnd);
}

std::vector<uint8_t> icon_bytes() { return window_unit().block().icon; }

bool tray_icon_shown(HWND hwnd) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd;
  data.uID = 100;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// The tray icon as the shell sees it, and the clicks it reports as event 9.
void tray() {
  load();
  const HWND hwnd = window_handle();
  const std::vector<uint8_t> icon = icon_bytes();
  log_line("added " + std::to_string(window_unit().set_tray_icon(icon, std::string(80, 't'))));
  log_line("shown " + std::to_string(tray_icon_shown(hwnd)));
  log_line("replaced " + std::to_string(window_unit().set_tray_icon(icon, "tip")));
  for (UINT mouse : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_CONTEXTMENU, WM_MOUSEMOVE})
    SendMessageA(hwnd, units::kMsgTrayIcon, 100, static_cast<LPARAM>(mouse));
  log_line("removed " + std::to_string(window_unit().set_tray_icon({}, "")));
  log_line("shown after removal " + std::to_string(tray_icon_shown(hwnd)));
  window_unit().set_tray_icon(icon, "again");
  DestroyWindow(hwnd);
  log_line("shown after destruction " + std::to_string(tray_icon_shown(hwnd)));
}

std::string class_of(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::string style_bits(HWND hwnd) {
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  const LONG ex_style = GetWindowLongA(hwnd, GWL_EXSTYLE);
  auto bit = [](LONG value, LONG mask) { return (value & mask) == mask ? "1" : "0"; };
  return std::string("caption ") + bit(style, WS_CAPTION) + " thick " + bit(style, WS_THICKFRAME) + " popup " +
         bit(style, WS_POPUP) + " minimize " + bit(style, WS_MINIMIZE) + " tool " + bit(ex_style, WS_EX_TOOLWINDOW) +
         " edge " + bit(ex_style, WS_EX_CLIENTEDGE);
}

// A window of the kind made straight from a property block, standing in for the
// template's window, so that settings read only at creation can be varied. Its
// events are suppressed: they are not what is looked at here.
std::string created_window_styles(const units::WindowBlock& block) {
  const std::vector<uint8_t> data = units::encode(block);
  const frame::CreateParams params{
      nullptr, data.data(), static_cast<uint32_t>(data.size()), 0, nullptr, 0, nullptr, 10, 10, 120, 90,
      kWindow, kOwnRecord};
  const auto create =
      reinterpret_cast<frame::CreateFunction>(units::kWindowKind.interface_function(frame::kRequestCreate));
  const std::unique_ptr<frame::UnitObject> unit(create(params));
  if (!unit) return "not created";
  const HWND hwnd = unit->hwnd();
  const HWND owner = GetWindow(hwnd, GW_OWNER);
  std::string seen = style_bits(hwnd) + " owner " + (owner ? class_of(owner) : "none");
  DestroyWindow(hwnd);
  return seen;
}

// Borders 0 to 6 with a title and a control box, and the settings that change the
// style at creation.
void creation_styles() {
  frame::Application::instance().suppress_events();
  units::WindowBlock block;
  block.title = "title";
  block.control_box = true;
  block.start_position = 0;
  for (uint32_t border = 0; border <= 6; ++border) {
    block.border_style = border;
    log_line("border " + std::to_string(border) + ": " + created_window_styles(block));
  }
  block.border_style = 2;
  block.show_in_taskbar = false;
  log_line("off the taskbar: " + created_window_styles(block));
  block.show_in_taskbar = true;
  block.start_position = 2;
  log_line("start minimized: " + created_window_styles(block));
}

constexpr probe::Scenario kScenarios[] = {
    {"creation-styles", creation_styles},
    {"as-loaded", as_loaded},
    {"refuse-first-close", refusing_first_close},
    {"rounded-rectangle", rounded_rectangle},
    {"triangle", triangle},
    {"centred-picture", centred_picture},
    {"fitted-picture", fitted_picture},
    {"tiled-picture", tiled_picture},
    {"paint-into", paint_into},
    {"icons", icons},
    {"tray", tray},
};

}  // namespace

// The handlers the window's template binds.
extern "C" {

void __stdcall window_created() { log_line("created"); }

int __stdcall window_close_asked() { return probe::close_asked(); }
int __stdcall window_close() { return probe::close_going_ahead(); }

void __stdcall window_destroying() { log_line("destroying"); }

void __stdcall window_tray(uint32_t click) { log_line("tray " + std::to_string(click)); }

}  // extern "C"

namespace frame {

const ProgramHeader program_header =
    probe::header_with_template(probe::play_scenarios_entry<kScenarios>, probe_handler_table);

}  // namespace frame
