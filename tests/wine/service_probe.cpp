// A program on the frame whose entry routine calls the text and utility services in
// one scenario, named on its command line, and writes what it saw to the log file
// named by TRELLIMO_PROBE_LOG. The service tests start it, answer its message boxes
// from outside and read the log.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "frame/application.h"
#include "frame/frame_services.h"
#include "frame/program_header.h"
#include "frame/unit_object.h"
#include "probe_header.h"
#include "probe_support.h"
#include "services/service_call.h"
#include "services/text_commands.h"
#include "services/utility_commands.h"
#include "units/unit_libraries.h"

namespace {

using frame::TypedValue;
using probe::log_line;
using services::call_service;
using services::omitted;

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kUnknownWindowId = 0x52010099;

TypedValue window_argument(uint32_t window_id) { return {window_id, 0, frame::kTypeWindow}; }

HWND installer_window() { return frame::Application::instance().windows().find(kWindowId)->hwnd(); }

std::string type_name(const TypedValue& value) {
  return value.type == frame::kTypeInt ? "int" : probe::hex(value.type);
}

void or_of_two_flags() {
  const TypedValue result = call_service(services::or_service, 0x1, 0x40);
  log_line("or " + probe::hex(result.low) + " " + type_name(result));
}

// A text result is a block of the process heap that the caller frees; an empty one
// is the null text.
void log_text_result(const std::string& label, const TypedValue& result) {
  if (result.type != frame::kTypeText) return log_line(label + ": not a text");
  const services::OwnedText text = services::take_text(result);
  if (!text) return log_line(label + ": null text");
  const SIZE_T size = HeapSize(GetProcessHeap(), 0, text.get());
  log_line(label + ": [" + text.get() + "] in a heap block of " + std::to_string(size) + " bytes");
}

void text_results() {
  log_text_result("replace", call_service(services::text_replace_service, "\"C:\\a b\\x.exe\"", "\"", omitted, omitted,
                                          omitted, true));
  log_text_result("replace first after start",
                  call_service(services::text_replace_service, "a-b-c-d", "-", "+", 3, 1, omitted));
  log_text_result("left part", call_service(services::left_part_service, "abcdef", 3));
  log_text_result("left part of 0", call_service(services::left_part_service, "abcdef", 0));
  log_text_result("blank", call_service(services::blank_text_service, 3));
  const TypedValue found = call_service(services::find_last_service, "C:\\a\\b", "\\", omitted, omitted);
  log_line("find last " + std::to_string(static_cast<int32_t>(found.low)) + " " + type_name(found));
}

void log_answer(const TypedValue& answer) { log_line("answer " + std::to_string(static_cast<int32_t>(answer.low))); }

// The driver reads the box and the window's state while the box is up.
void warning_box_over_the_window(int32_t flags) {
  frame::load_startup_window(kWindowId);
  log_answer(call_service(services::message_box_service, "安装路径不能为空", flags));
  log_line(IsWindowEnabled(installer_window()) ? "window enabled after the box" : "window still disabled");
  call_service(services::close_window_service, window_argument(kWindowId), true);
  frame::run_message_loop();
}

void button_codes() {
  for (int32_t buttons : {MB_OKCANCEL, MB_YESNO, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL})
    log_answer(call_service(services::message_box_service, "?", buttons));
}

TypedValue two_words(uint64_t bits, uint32_t type) {
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
}

template <typename Floating>
uint64_t bits_of(Floating value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  return bits;
}

// 2024-03-05 14:07:09 as an OLE date: days since 1899-12-30 and the day's fraction.
constexpr double kOleDate = 45356.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0;

void message_texts() {
  const uint8_t byte_array[] = {1, 0, 0, 0, 0, 0, 0, 0};
  const TypedValue messages[] = {
      {200, 0, frame::kTypeByte},
      {0xFFFE, 0, frame::kTypeShort},
      TypedValue::of_int(-123456),
      two_words(static_cast<uint64_t>(int64_t{-9876543210123}), frame::kTypeInt64),
      {static_cast<uint32_t>(bits_of(0.1f)), 0, frame::kTypeFloat},
      TypedValue::of_double(3.0),
      TypedValue::of_double(1e21),
      TypedValue::of_double(-2.5),
      TypedValue::of_bool(true),
      TypedValue::of_bool(false),
      two_words(bits_of(kOleDate), frame::kTypeDateTime),
      services::text_value("安装"),
      services::text_value(nullptr),
      {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(byte_array)), 0, frame::kTypeByteArray},
  };
  for (const TypedValue& message : messages) call_service(services::message_box_service, message, 0);
  call_service(services::message_box_service, "caption given", 0, "安装向导");
}

void owned_boxes() {
  frame::load_startup_window(kWindowId);
  const auto handle = static_cast<int32_t>(reinterpret_cast<uintptr_t>(installer_window()));
  call_service(services::message_box_service, "window", 0, omitted, window_argument(kWindowId));
  call_service(services::message_box_service, "handle", 0, omitted, handle);
  call_service(services::message_box_service, "none", 0, omitted, omitted);
  call_service(services::close_window_service, window_argument(kWindowId), true);
  frame::run_message_loop();
}

void log_window_state(const std::string& when) {
  log_line(when + (IsWindow(installer_window()) ? ": window open" : ": window gone"));
}

// The request is posted, so the window outlives the routine that asked for its close.
void close_later() {
  frame::load_startup_window(kWindowId);
  PostMessageA(installer_window(), frame::kMsgCloseRequest, 0, 0);
  frame::Application::instance().pump_pending_messages();
  log_window_state("after an unmarked close request");
  call_service(services::close_window_service, window_argument(kWindowId));
  log_window_state("after the service returned");
  frame::run_message_loop();
  log_line("loop returned");
}

void close_at_once() {
  frame::load_startup_window(kWindowId);
  call_service(services::close_window_service, window_argument(kWindowId), true);
  log_window_state("after the service returned");
  frame::run_message_loop();
  log_line("loop returned");
}

void close_unknown_window() { call_service(services::close_window_service, window_argument(kUnknownWindowId)); }

void close_unloaded_window() { call_service(services::close_window_service, window_argument(kWindowId)); }

int64_t elapsed_ms_of(int32_t milliseconds) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  call_service(services::delay_service, milliseconds);
  QueryPerformanceCounter(&end);
  return (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
}

void delays() {
  const int64_t negative = elapsed_ms_of(-5);
  log_line(negative < 50 ? "delay -5 returned at once" : "delay -5 took " + std::to_string(negative) + " ms");
  const int64_t positive = elapsed_ms_of(300);
  log_line(positive >= 300 ? "delay 300 waited" : "delay 300 took only " + std::to_string(positive) + " ms");
}

const probe::Scenario kScenarios[] = {
    {"or", or_of_two_flags},
    {"text-results", text_results},
    {"warning-box", [] { warning_box_over_the_window(MB_ICONWARNING); }},
    {"system-modal-warning-box", [] { warning_box_over_the_window(MB_ICONWARNING | MB_SYSTEMMODAL); }},
    {"button-codes", button_codes},
    {"message-texts", message_texts},
    {"owned-boxes", owned_boxes},
    {"close-later", close_later},
    {"close-at-once", close_at_once},
    {"close-unknown-window", close_unknown_window},
    {"close-unloaded-window", close_unloaded_window},
    {"delays", delays},
};

}  // namespace

namespace frame {

const ProgramHeader program_header = probe::header_with_template(probe::play_scenarios_entry<kScenarios>);

}  // namespace frame
