// A program on the frame with one window of picture boxes, a label and picture
// buttons (layouts/picture-units.json). It writes and reads their properties when
// the driver tests (picture_units_tests.cpp) ask through its control window, and
// logs the clicks the buttons raise. The tests look at the screen themselves.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "files.h"
#include "frame/application.h"
#include "frame/frame_services.h"
#include "frame/notification.h"
#include "frame/program_header.h"
#include "frame/properties.h"
#include "frame/unit_object.h"
#include "picture_units_commands.h"
#include "probe_header.h"
#include "probe_support.h"
#include "unit_properties.h"

extern "C" const uint8_t picture_units_handler_table[];

namespace {

using namespace picture_units;
using probe::log_line;

constexpr uint32_t kWindow = 0x52020001;
constexpr uint32_t kUnitIds[] = {0x16020002, 0x16020003, 0x16020004, 0x16020005,
                                 0x16020006, 0x16020007, 0x16020008, 0x16020009};
constexpr const char* kFixtureFiles[] = {nullptr,         "stripes.jpg", "frames.gif",
                                         "quadrants.png", "layered.gif", "twice.gif"};
constexpr const char* kTexts[] = {"", "A much longer caption", "Short"};
constexpr support::WindowProperties kProperties(kWindow);

uint32_t unit_id(WPARAM wparam) { return kUnitIds[(wparam & 0xFF) % std::size(kUnitIds)]; }
int property_number(WPARAM wparam) { return static_cast<int>(wparam >> 8); }

std::vector<uint8_t> fixture_bytes(LPARAM fixture) {
  const char* name = kFixtureFiles[static_cast<size_t>(fixture) % std::size(kFixtureFiles)];
  if (name == nullptr) return {};
  return support::read_bytes(std::string(PICTURE_FIXTURES) + "/" + name);
}

// One function per command, each returning the command's answer (0 where it has none).
LRESULT write_integer(WPARAM wparam, LPARAM value) {
  kProperties.write_int(unit_id(wparam), property_number(wparam), static_cast<int32_t>(value));
  return 0;
}

LRESULT read_integer(WPARAM wparam, LPARAM) { return kProperties.read_int(unit_id(wparam), property_number(wparam)); }

LRESULT write_picture(WPARAM wparam, LPARAM fixture) {
  kProperties.write_bytes(unit_id(wparam), property_number(wparam), fixture_bytes(fixture));
  return 0;
}

LRESULT write_text(WPARAM wparam, LPARAM text) {
  kProperties.write_text(unit_id(wparam), property_number(wparam), kTexts[static_cast<size_t>(text) % 3]);
  return 0;
}

LRESULT unit_window(WPARAM wparam, LPARAM) {
  auto* unit = reinterpret_cast<frame::UnitObject*>(
      frame::frame_notify(frame::kNotifyLiveObject, kWindow, static_cast<intptr_t>(unit_id(wparam))));
  return unit ? reinterpret_cast<LRESULT>(unit->hwnd()) : 0;
}

LRESULT destroy_window(WPARAM, LPARAM) {
  DestroyWindow(frame::Application::instance().windows().find(kWindow)->hwnd());
  return 0;
}

LRESULT finish(WPARAM, LPARAM) {
  PostQuitMessage(0);
  return 0;
}

// In the order of picture_units::Command, from kWriteInteger on.
constexpr LRESULT (*kCommands[])(WPARAM, LPARAM) = {write_integer, read_integer,   write_picture, write_text,
                                                    unit_window,   destroy_window, finish};
static_assert(std::size(kCommands) == kFinish - kWriteInteger + 1);

LRESULT CALLBACK control_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const UINT command = message - kWriteInteger;
  if (message >= kWriteInteger && command < std::size(kCommands)) return kCommands[command](wparam, lparam);
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND make_control_window() {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = control_procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kControlClass;
  RegisterClassW(&window_class);
  return CreateWindowExW(0, kControlClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, window_class.hInstance,
                         nullptr);
}

// Serves the driver after the probe window is gone, until it says to finish.
void serve_until_finished() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

int probe_entry() {
  frame::initialise_frame();
  HWND control = make_control_window();
  frame::load_startup_window(kWindow);
  frame::run_message_loop();
  log_line("window loop returned");
  serve_until_finished();
  DestroyWindow(control);
  log_line("finished");
  return 0;
}

}  // namespace

// The handlers the probe window's template binds.
extern "C" {

void __stdcall picture_units_push_clicked() { log_line("push clicked"); }
void __stdcall picture_units_toggle_clicked() { log_line("toggle clicked"); }

}  // extern "C"

namespace frame {

const ProgramHeader program_header = probe::header_with_template(probe_entry, picture_units_handler_table);

}  // namespace frame
