// A program on the frame, with a small window of its own, that reads and writes unit
// properties and raises events in the scenario named on its command line. It logs
// what it saw for the driver tests (property_event_tests.cpp).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <string>

#include "frame/application.h"
#include "frame/events.h"
#include "frame/frame_services.h"
#include "frame/notification.h"
#include "frame/program_header.h"
#include "frame/properties.h"
#include "frame/typed_value.h"
#include "probe_header.h"
#include "probe_support.h"
#include "unit_properties.h"
#include "units/label_block.h"
#include "units/unit_libraries.h"

extern "C" const uint8_t probe_handler_table[];

namespace {

using probe::log_line;

constexpr uint32_t kWindow = 0x52010001;
constexpr support::WindowProperties kProperties(kWindow);
// The units of layouts/probe-window.json, whose ids follow their record order.
enum Unit : uint32_t { kLabel = 0x16010002, kPicture, kButtonA, kButtonB };
constexpr int kLabelCaption = units::slot_of(units::kLabelProperties, "text");
constexpr int kLabelFont = units::slot_of(units::kLabelProperties, "font");

bool click_writes_without_memory = false;
bool creation_destroys_window = false;
// Armed, the next allocation anywhere in the probe fails as it would with the
// address space used up.
bool fail_next_allocation = false;

std::string source_text() {
  const frame::EventSource source = frame::current_event_source();
  return "source " + probe::hex(source.window_id) + " " + probe::hex(source.unit_id);
}

HWND probe_window() { return frame::Application::instance().windows().find(kWindow)->hwnd(); }

void load_window() { frame::load_startup_window(kWindow); }

// Common properties: clamping, the live value, tag and visibility.
void geometry() {
  load_window();
  kProperties.write_int(kLabel, frame::kPropertyWidth, 40000);
  log_line("width 40000 reads " + std::to_string(kProperties.read_int(kLabel, frame::kPropertyWidth)));
  kProperties.write_int(kLabel, frame::kPropertyWidth, -5);
  log_line("width -5 reads " + std::to_string(kProperties.read_int(kLabel, frame::kPropertyWidth)));
  kProperties.write_int(kLabel, frame::kPropertyLeft, -40000);
  log_line("left -40000 reads " + std::to_string(kProperties.read_int(kLabel, frame::kPropertyLeft)));
  kProperties.write_text(kPicture, frame::kPropertyTag, "标记");
  log_line("tag reads " + kProperties.read_text(kPicture, frame::kPropertyTag));
  log_line("hidden unit reads visible " + std::to_string(kProperties.read_int(kButtonB, frame::kPropertyVisible)));
  kProperties.write_int(kButtonB, frame::kPropertyVisible, 1);
  log_line("after showing it reads " + std::to_string(kProperties.read_int(kButtonB, frame::kPropertyVisible)));
  kProperties.write_int(kButtonA, frame::kPropertyDisabled, 1);
  log_line("disabled reads " + std::to_string(kProperties.read_int(kButtonA, frame::kPropertyDisabled)));
  DestroyWindow(probe_window());
}

// Kind properties of the label: caption and font attributes.
void label_properties() {
  load_window();
  log_line("caption reads " + kProperties.read_text(kLabel, kLabelCaption));
  kProperties.write_text(kLabel, kLabelCaption, "短");
  log_line("caption after write reads " + kProperties.read_text(kLabel, kLabelCaption));
  log_line("font face reads " + kProperties.read_text(kLabel, kLabelFont, 6));
  log_line("font bold reads " + std::to_string(kProperties.read_int(kLabel, kLabelFont, 1)));
  kProperties.write_int(kLabel, kLabelFont, 0, 6);
  log_line("empty face becomes " + kProperties.read_text(kLabel, kLabelFont, 6));
  kProperties.write_int(kLabel, kLabelFont, 18, 5);
  log_line("size 18 reads " + std::to_string(kProperties.read_int(kLabel, kLabelFont, 5)));
  DestroyWindow(probe_window());
}

// Kind properties of the window: the title reaches the native window, choices are
// clamped, and start position reads the live state.
void window_properties() {
  load_window();
  constexpr uint32_t kOwnRecord = 0x06010000;
  log_line("title reads " + kProperties.read_text(kOwnRecord, 8));
  kProperties.write_text(kOwnRecord, 8, "new title");
  char title[64] = {};
  GetWindowTextA(probe_window(), title, sizeof title);
  log_line(std::string("window text is ") + title);
  kProperties.write_int(kOwnRecord, 9, 9);
  log_line("border 9 reads " + std::to_string(kProperties.read_int(kOwnRecord, 9)));
  kProperties.write_int(kOwnRecord, 12, -1);
  log_line("picture mode -1 reads " + std::to_string(kProperties.read_int(kOwnRecord, 12)));
  ShowWindow(probe_window(), SW_MINIMIZE);
  log_line("start position of a minimized window reads " + std::to_string(kProperties.read_int(kOwnRecord, 18)));
  DestroyWindow(probe_window());
}

void read_kind_property_before_load() { kProperties.read_text(kLabel, kLabelCaption); }
void write_kind_property_before_load() { kProperties.write_text(kLabel, kLabelCaption, "x"); }
void read_unknown_window() { support::WindowProperties(0x52010009).read_int(kLabel, 0); }
void read_unknown_unit() {
  load_window();
  kProperties.read_int(0x16010077, 0);
}

DWORD WINAPI write_from_worker(void*) {
  static const char kLong[] = "正在抽取文件: 7-zip32.dll ";
  static const char kShort[] = "完成";
  for (int i = 0; i < 2000; ++i) {
    kProperties.write_text(kLabel, kLabelCaption, (i % 2) ? kShort : kLong);
    kProperties.write_int(kPicture, frame::kPropertyWidth, i % 300);
  }
  log_line("worker final caption " + kProperties.read_text(kLabel, kLabelCaption) + " width " +
           std::to_string(kProperties.read_int(kPicture, frame::kPropertyWidth)));
  PostMessageA(probe_window(), WM_CLOSE, 0, 0);
  return 0;
}

// A worker writes captions and widths while the window's thread paints.
void worker_writes() {
  load_window();
  CloseHandle(CreateThread(nullptr, 0, write_from_worker, nullptr, 0, nullptr));
  frame::run_message_loop();
  log_line("loop returned");
}

std::optional<uint64_t> raise_plain(uint32_t unit, int event) {
  uint64_t result = 0;
  frame::EventRequest request{kWindow, unit, event, &result};
  if (frame::frame_notify(frame::kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&request), 0) == 0) return {};
  return result;
}

void exit_routine_raising(int) {
  log_line(raise_plain(kButtonA, 0) ? "event delivered at exit" : "event at exit reached no routine");
}

// Events: suppression while loading, links, arguments, close refusal.
void events() {
  probe::refuse_first_close();
  frame::register_exit_routine(exit_routine_raising);
  load_window();
  frame::frame_notify(frame::kNotifyLoadBegins, 0, 0);
  log_line(raise_plain(kButtonA, 0) ? "delivered while loading" : "nothing delivered while loading");
  frame::frame_notify(frame::kNotifyLoadEnds, 0, 0);
  raise_plain(kButtonA, 0);
  raise_plain(kButtonB, 0);
  log_line(raise_plain(kButtonA, 3) ? "unbound event delivered" : "unbound event reached no routine");

  const uint32_t words[] = {0x55667788, 0x11223344};
  uint64_t result = 0;
  frame::EventRequest one_word{kWindow, 0, 7, &result, words, 2};
  frame::frame_notify(frame::kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&one_word), 0);
  log_line("one-word event result " + std::to_string(result));
  const frame::EventArgument typed[] = {{0x55667788, 0x11223344, frame::kTypeInt64, 0}};
  frame::TypedEventRequest typed_request{kWindow, 0, 7, &result, typed, 1};
  frame::frame_notify(frame::kNotifyRaiseTypedEvent, reinterpret_cast<intptr_t>(&typed_request), 0);

  SendMessageA(probe_window(), WM_CLOSE, 0, 0);
  log_line(IsWindow(probe_window()) ? "first close refused" : "first close went through");
  SendMessageA(probe_window(), WM_CLOSE, 0, 0);
  frame::run_message_loop();
  log_line("loop returned");
}

// A click whose handler writes a caption while memory runs out: the frame, not
// abort, must end the program.
void write_out_of_memory_in_handler() {
  click_writes_without_memory = true;
  load_window();
  frame::WindowRecord& window = *frame::Application::instance().windows().find(kWindow);
  const HWND button = window.units()[*window.find_record(kButtonA)].hwnd();
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  frame::run_message_loop();
}

void convert_text_to_integer() {
  const frame::TypedValue text{static_cast<uint32_t>(reinterpret_cast<uintptr_t>("12")), 0, frame::kTypeText};
  frame::frame_notify(frame::kNotifyToInteger, reinterpret_cast<intptr_t>(&text), 0);
}

// A byte argument fills its word zero-extended, a short sign-extended, whatever the
// rest of the payload holds.
void small_typed_arguments() {
  load_window();
  uint64_t result = 0;
  const frame::EventArgument typed[] = {{0x12345680, 0xAAAAAAAA, frame::kTypeByte, 0},
                                        {0x7777FF80, 0xBBBBBBBB, frame::kTypeShort, 0}};
  frame::TypedEventRequest request{kWindow, 0, 7, &result, typed, 2};
  frame::frame_notify(frame::kNotifyRaiseTypedEvent, reinterpret_cast<intptr_t>(&request), 0);
  DestroyWindow(probe_window());
}

void read_negative_property() {
  load_window();
  kProperties.read_int(kLabel, -1);
}
void write_negative_property() {
  load_window();
  kProperties.write_int(kLabel, -3, 0x1234);
}
void write_font_attribute_seven() {
  load_window();
  kProperties.write_int(kLabel, kLabelFont, 0x1234, 7);
}

// The creation handler destroys the window it was raised for: loading still
// succeeded, and the loop finds no window and returns.
void destroyed_by_creation_handler() {
  creation_destroys_window = true;
  load_window();
  log_line(frame::Application::instance().windows().find(kWindow)->exists() ? "window still there"
                                                                            : "window gone after loading");
  frame::run_message_loop();
  log_line("loop returned");
}

constexpr probe::Scenario kScenarios[] = {
    {"geometry", geometry},
    {"label-properties", label_properties},
    {"window-properties", window_properties},
    {"read-kind-property-before-load", read_kind_property_before_load},
    {"write-kind-property-before-load", write_kind_property_before_load},
    {"read-unknown-window", read_unknown_window},
    {"read-unknown-unit", read_unknown_unit},
    {"worker-writes", worker_writes},
    {"events", events},
    {"destroyed-by-creation-handler", destroyed_by_creation_handler},
    {"small-typed-arguments", small_typed_arguments},
    {"read-negative-property", read_negative_property},
    {"write-negative-property", write_negative_property},
    {"write-font-attribute-seven", write_font_attribute_seven},
    {"convert-text-to-integer", convert_text_to_integer},
    {"write-out-of-memory-in-handler", write_out_of_memory_in_handler},
};

}  // namespace

// The handlers the probe window's template binds.
extern "C" {

void __stdcall probe_window_created() {
  log_line("window created, " + source_text());
  if (creation_destroys_window) DestroyWindow(probe_window());
}

int __stdcall probe_close_asked() { return probe::close_asked(); }
int __stdcall probe_close() { return probe::close_going_ahead(); }

void __stdcall probe_button_clicked() {
  log_line("button clicked, " + source_text());
  if (!click_writes_without_memory) return;
  fail_next_allocation = true;
  kProperties.write_text(kLabel, kLabelCaption, "a caption too long to be kept in place");
}

uint64_t __stdcall probe_window_moved(uint32_t low, uint32_t high) {
  log_line("event 7 with " + probe::hex(high) + probe::hex(low).substr(2));
  return 42;
}

}  // extern "C"

void* operator new(std::size_t size) {
  if (fail_next_allocation) {
    fail_next_allocation = false;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace frame {

const ProgramHeader program_header =
    probe::header_with_template(probe::play_scenarios_entry<kScenarios>, probe_handler_table);

}  // namespace frame
