// A program on the frame with one window of picture boxes, a label and picture
// buttons (layouts/picture-units.json). It writes and reads their properties when
// the driver tests (picture_units_tests.cpp) ask through its control window, and
// logs the clicks the buttons raise. The tests look at the screen themselves.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "frame/application.h"
#include "frame/frame_services.h"
#include "frame/notification.h"
#include "frame/program_header.h"
#include "frame/properties.h"
#include "frame/unit_object.h"
#include "picture_units_commands.h"
#include "probe_header.h"
#include "probe_support.h"

extern "C" const uint8_t picture_units_handler_table[];

namespace {

using namespace picture_units;
using probe::log_line;

constexpr uint32_t kWindow = 0x52020001;
constexpr uint32_t kUnitIds[] = {0x16020002, 0x16020003, 0x16020004, 0x16020005,
                                 0x16020006, 0x16020007, 0x16020008, 0x16020009};
constexpr const char* kFixtureFiles[] = {nullptr, "stripes.jpg", "frames.gif", "quadrants.png"};
constexpr const char* kTexts[] = {"", "A much longer caption", "Short"};
constexpr int kWhole = -1;

uint32_t unit_id(WPARAM wparam) { return kUnitIds[(wparam & 0xFF) % std::size(kUnitIds)]; }
int property_number(WPARAM wparam) { return static_cast<int>(wparam >> 8); }

std::vector<uint8_t> fixture_bytes(LPARAM fixture) {
  const char* name = kFixtureFiles[static_cast<size_t>(fixture) % std::size(kFixtureFiles)];
  if (name == nullptr) return {};
  std::ifstream file(std::string(PICTURE_FIXTURES) + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Byte arrays travel as the frame's array record: u32 1, u32 length, the bytes.
std::vector<uint8_t> byte_array(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> record(8 + bytes.size());
  const uint32_t header[] = {1, static_cast<uint32_t>(bytes.size())};
  std::memcpy(record.data(), header, sizeof header);
  std::copy(bytes.begin(), bytes.end(), record.begin() + 8);
  return record;
}

void write_word(WPARAM wparam, uint32_t value) {
  frame::write_property(kWindow, unit_id(wparam), property_number(wparam), kWhole, value, 0);
}

void write_picture(WPARAM wparam, LPARAM fixture) {
  const std::vector<uint8_t> bytes = fixture_bytes(fixture);
  const std::vector<uint8_t> record = byte_array(bytes);
  write_word(wparam, bytes.empty() ? 0 : static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record.data())));
}

void write_text(WPARAM wparam, LPARAM text) {
  write_word(wparam, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(kTexts[static_cast<size_t>(text) % 3])));
}

LRESULT unit_window(WPARAM wparam) {
  auto* unit = reinterpret_cast<frame::UnitObject*>(
      frame::frame_notify(frame::kNotifyLiveObject, kWindow, static_cast<intptr_t>(unit_id(wparam))));
  return unit ? reinterpret_cast<LRESULT>(unit->hwnd()) : 0;
}

LRESULT CALLBACK control_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kWriteInteger:
      write_word(wparam, static_cast<uint32_t>(lparam));
      return 0;
    case kReadInteger:
      return static_cast<LRESULT>(frame::read_property(kWindow, unit_id(wparam), property_number(wparam), kWhole));
    case kWritePicture:
      write_picture(wparam, lparam);
      return 0;
    case kWriteText:
      write_text(wparam, lparam);
      return 0;
    case kUnitWindow:
      return unit_window(wparam);
    case kDestroyWindow:
      DestroyWindow(frame::Application::instance().windows().find(kWindow)->hwnd());
      return 0;
    case kFinish:
      PostQuitMessage(0);
      return 0;
  }
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
