// A second application on the frame, apart from the installer: its own template of
// three windows (layouts/second-application.json), a modal dialog among them, and a
// menu item. It plays the scenario named on its command line and logs what its
// handlers saw for the driver tests (second_application_tests.cpp), which drive it
// with real input.
#include <windows.h>

#include <initializer_list>
#include <string>

#include "frame/frame_heap.h"
#include "frame/frame_services.h"
#include "frame/kind_descriptor.h"
#include "frame/program_header.h"
#include "probe_header.h"
#include "probe_kinds.h"
#include "probe_support.h"
#include "unit_properties.h"
#include "units/com_object_kind.h"
#include "units/kind_numbers.h"
#include "units/unit_libraries.h"
#include "units/window_block.h"

extern "C" const uint8_t second_application_handler_table[];

namespace {

using probe::log_line;

constexpr uint32_t kMainWindow = 0x52010001;
constexpr uint32_t kDialog = 0x52010002;
constexpr uint32_t kWideWindow = 0x52010003;
constexpr uint32_t kMenuFile = 0x26010003;
constexpr uint32_t kPageBox = 0x16010004;
constexpr uint32_t kFirstRadio = 0x16010005;
constexpr uint32_t kSecondPagePicture = 0x16010008;
constexpr support::WindowProperties kMainProperties(kMainWindow);
constexpr int kPage = units::slot_of(probe_kinds::kPageBoxProperties, "page");
constexpr uint32_t kWideWindowRecord = 0x06030000;
constexpr int kStartPosition = units::slot_of(units::kWindowProperties, "start_position");
// The slot of app_menu_open in the layout's handlers list.
constexpr size_t kMenuHandlerSlot = 3;
constexpr uint32_t kQuitCode = 5;

std::string bytes_text(std::span<const uint8_t> bytes) { return std::to_string(bytes.size()) + " bytes"; }

// The main window opens the dialog from its button; the loop runs until the last
// window is gone.
void modal_dialog() {
  frame::load_startup_window(kMainWindow);
  frame::run_message_loop();
  log_line("loop returned");
}

// Start position 3 written to a shown window maximises it to the work area.
void maximise() {
  frame::load_startup_window(kWideWindow);
  support::WindowProperties(kWideWindow).write_int(kWideWindowRecord, kStartPosition, 3);
  frame::run_message_loop();
  log_line("loop returned");
}

// The menu item comes through loading and creation, kept with its handler.
void menu_item() {
  frame::load_startup_window(kMainWindow);
  frame::WindowRecord& window = *frame::find_window(kMainWindow);
  const size_t index = *window.find_record(kMenuFile);
  const frame::UnitRecord& record = window.section().records[index];
  log_line("menu item text " + record.menu_text);
  log_line(window.units()[index].object == nullptr ? "menu item has no unit object" : "menu item has a unit object");
  const bool kept = window.handlers(index).front() == second_application_handler_table + 8 * kMenuHandlerSlot;
  log_line(kept ? "menu item keeps its handler" : "menu item lost its handler");
  DestroyWindow(window.hwnd());
}

template <typename Function>
Function request(frame::KindRequest number) {
  return reinterpret_cast<Function>(frame::kind_descriptor(units::kind::kWindow)->interface_function(number));
}

const char* keep_text(void*, const char* text) { return text; }

const char* rename_title(void* visited, const char* text) {
  auto& count = *static_cast<int*>(visited);
  return ++count == 1 ? "新标题" : text;
}

// The window kind's block saved (5), its icon read back (7) and its texts visited
// (9), each through the kind's interface function.
void block_requests() {
  frame::load_startup_window(kMainWindow);
  auto* saved =
      request<frame::SaveBlockFunction>(frame::kRequestSaveBlock)(&frame::live_object_or_error(kMainWindow, 0));
  const std::span<const uint8_t> block = frame::byte_array_bytes(saved);
  const auto decoded = units::decode_window_block(block);
  log_line("saved block " + (decoded ? "title " + decoded->title + ", class " + decoded->class_name : "unreadable"));

  const auto icon_data = request<frame::IconDataFunction>(frame::kRequestIconData);
  auto* icon = icon_data(block.data(), static_cast<uint32_t>(block.size()));
  log_line("icon of the saved block: " + bytes_text(frame::byte_array_bytes(icon)));
  const uint8_t unreadable[] = {7, 0, 0, 0};
  log_line(icon_data(unreadable, sizeof unreadable) == nullptr ? "icon of a version 7 block: none"
                                                               : "icon of a version 7 block: some");

  const auto visit = request<frame::TextVisitFunction>(frame::kRequestTextVisit);
  auto* same = visit(block.data(), static_cast<uint32_t>(block.size()), keep_text, nullptr);
  const auto kept = frame::byte_array_bytes(same);
  log_line(std::equal(kept.begin(), kept.end(), block.begin(), block.end()) ? "visit keeping every text: same block"
                                                                            : "visit keeping every text: changed");
  int visited = 0;
  auto* renamed = visit(block.data(), static_cast<uint32_t>(block.size()), rename_title, &visited);
  const auto renamed_block = units::decode_window_block(frame::byte_array_bytes(renamed));
  log_line("texts visited " + std::to_string(visited) + ", title now " + renamed_block->title + ", class " +
           renamed_block->class_name);
  for (void* array :
       {static_cast<void*>(saved), static_cast<void*>(icon), static_cast<void*>(same), static_cast<void*>(renamed)})
    frame::heap_free(array);
  DestroyWindow(frame::find_window(kMainWindow)->hwnd());
}

std::string visibility_of(uint32_t unit) {
  return std::string(IsWindowVisible(frame::live_object_or_error(kMainWindow, unit).hwnd()) ? "shown" : "hidden") +
         " (visible property " + std::to_string(kMainProperties.read_int(unit, frame::kPropertyVisible)) + ")";
}

void log_pages(const std::string& when) {
  log_line(when + ": first page radio " + visibility_of(kFirstRadio) + ", second page picture " +
           visibility_of(kSecondPagePicture));
}

// Units on the page the box does not show stay hidden until it shows their page.
void pages() {
  frame::load_startup_window(kMainWindow);
  log_pages("created");
  kMainProperties.write_int(kSecondPagePicture, frame::kPropertyVisible, 1);
  log_pages("second page picture shown");
  kMainProperties.write_int(kPageBox, kPage, 1);
  log_pages("second page selected");
  kMainProperties.write_int(kSecondPagePicture, frame::kPropertyVisible, 0);
  kMainProperties.write_int(kPageBox, kPage, 0);
  kMainProperties.write_int(kPageBox, kPage, 1);
  log_pages("hidden picture, second page selected again");
  DestroyWindow(frame::find_window(kMainWindow)->hwnd());
}

// Loading a window that exists only brings it forward: the units stay the same.
void load_twice() {
  frame::load_startup_window(kMainWindow);
  frame::UnitObject* before = frame::live_object(kMainWindow, kFirstRadio);
  log_line(frame::load_window(kMainWindow, true, false, nullptr) ? "second load succeeded" : "second load failed");
  frame::UnitObject* after = frame::live_object(kMainWindow, kFirstRadio);
  log_line(before != nullptr && before == after && after->is_live() ? "units kept" : "units made again");
  DestroyWindow(frame::find_window(kMainWindow)->hwnd());
}

// A common mouse or keyboard event, logged with its unit and arguments.
void log_input(int event, std::initializer_list<int32_t> arguments) {
  std::string line =
      "event " + std::to_string(event) + " on " + probe::hex(frame::current_event_source().unit_id) + ":";
  for (int32_t argument : arguments) line += " " + std::to_string(argument);
  log_line(line);
}

constexpr uint32_t kSecondRadio = 0x16010006;
constexpr int kGroupStart = units::slot_of(probe_kinds::kRadioProperties, "group_start");
constexpr int kFrame = units::slot_of(probe_kinds::kPageBoxProperties, "frame");

HWND unit_window(uint32_t unit) { return frame::live_object_or_error(kMainWindow, unit).hwnd(); }

RECT screen_rect(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  return rect;
}

std::string yes_no(bool value) { return value ? "yes" : "no"; }

// Writes `value` to a property its kind can only apply by making the unit again, and
// logs what stayed.
void rebuild_logging(uint32_t unit, int slot, const std::string& what) {
  const HWND before = unit_window(unit);
  const RECT place = screen_rect(before);
  const HWND parent = GetParent(before);
  const HWND below = GetWindow(before, GW_HWNDNEXT);
  const bool focused = GetFocus() == before;
  kMainProperties.write_int(unit, slot, 1);
  const HWND after = unit_window(unit);
  const RECT now = screen_rect(after);
  log_line(what + " made again " + yes_no(after != before && !IsWindow(before)) + ", same place " +
           yes_no(EqualRect(&place, &now) != 0) + ", same parent " + yes_no(GetParent(after) == parent) +
           ", same stacking " + yes_no(GetWindow(after, GW_HWNDNEXT) == below) + ", focus kept " +
           yes_no(!focused || GetFocus() == after));
}

// A radio button made again to start a group, with the focus on it; the page box
// made again with a new frame, its radio buttons and picture moving into the new one.
void rebuild() {
  frame::load_startup_window(kMainWindow);
  SetFocus(unit_window(kSecondRadio));
  rebuild_logging(kSecondRadio, kGroupStart, "radio");
  log_line(std::string("radio starts a group ") +
           yes_no((GetWindowLongA(unit_window(kSecondRadio), GWL_STYLE) & WS_GROUP) != 0));
  rebuild_logging(kPageBox, kFrame, "page box");
  const HWND box = unit_window(kPageBox);
  log_line("page box holds its units " + yes_no(GetParent(unit_window(kFirstRadio)) == box &&
                                                GetParent(unit_window(kSecondRadio)) == box &&
                                                GetParent(unit_window(kSecondPagePicture)) == box));
  log_pages("page box made again");
  DestroyWindow(frame::find_window(kMainWindow)->hwnd());
}

constexpr uint32_t kShell = 0x16010009;
constexpr int kClass = units::slot_of(units::kComObjectProperties, "class");

std::string automation_state() {
  const auto& unit = static_cast<const units::ComObjectUnit&>(frame::live_object_or_error(kMainWindow, kShell));
  return "class " + kMainProperties.read_text(kShell, kClass) + ", window " + yes_no(unit.hwnd() != nullptr) +
         ", object " + yes_no(unit.object() != nullptr);
}

// The automation object is a unit without a window: made with the window, its
// common properties kept by the frame alone, its class changed at run time.
void windowless() {
  frame::load_startup_window(kMainWindow);
  log_line("automation unit: " + automation_state());
  kMainProperties.write_int(kShell, frame::kPropertyLeft, 5);
  kMainProperties.write_int(kShell, frame::kPropertyVisible, 0);
  log_line("left reads " + std::to_string(kMainProperties.read_int(kShell, frame::kPropertyLeft)) + ", visible reads " +
           std::to_string(kMainProperties.read_int(kShell, frame::kPropertyVisible)));
  kMainProperties.write_text(kShell, kClass, "Scripting.Dictionary");
  log_line("after a new class: " + automation_state());
  kMainProperties.write_text(kShell, kClass, "No.Such.Class");
  log_line("after an unknown class: " + automation_state());
  DestroyWindow(frame::find_window(kMainWindow)->hwnd());
  log_line(frame::live_object(kMainWindow, kShell) == nullptr ? "gone with its window" : "outlives its window");
}

constexpr probe::Scenario kScenarios[] = {
    {"windowless", windowless},
    {"rebuild", rebuild},
    {"pages", pages},
    {"load-twice", load_twice},
    {"modal-dialog", modal_dialog},
    {"maximise", maximise},
    {"menu-item", menu_item},
    {"block-requests", block_requests},
};

}  // namespace

// The handlers the template binds.
extern "C" {

void __stdcall app_main_created() { log_line("main window created"); }
int __stdcall app_main_close() {
  log_line("main window closing");
  return 1;
}

void __stdcall app_open_dialog() {
  log_line("opening the dialog");
  const bool loaded = frame::load_window(kDialog, false, true, nullptr);
  log_line(std::string("modal dialog returned ") + (loaded ? "1" : "0"));
}

void __stdcall app_menu_open() { log_line("menu item chosen"); }

// The common mouse and keyboard events.
void __stdcall app_mouse_down(int32_t button, int32_t x, int32_t y, int32_t shift) {
  log_input(-1, {button, x, y, shift});
}
void __stdcall app_mouse_up(int32_t button, int32_t x, int32_t y, int32_t shift) {
  log_input(-2, {button, x, y, shift});
}
void __stdcall app_double_click(int32_t button, int32_t x, int32_t y, int32_t shift) {
  log_input(-3, {button, x, y, shift});
}
void __stdcall app_mouse_move(int32_t buttons, int32_t x, int32_t y, int32_t shift) {
  log_input(-4, {buttons, x, y, shift});
}
void __stdcall app_wheel(int32_t distance, int32_t x, int32_t y, int32_t shift) {
  log_input(-5, {distance, x, y, shift});
}
void __stdcall app_key_down(int32_t key, int32_t shift) { log_input(-6, {key, shift}); }
void __stdcall app_key_up(int32_t key, int32_t shift) { log_input(-9, {key, shift}); }
void __stdcall app_character(int32_t character, int32_t shift) { log_input(-10, {character, shift}); }
void __stdcall app_system_key_down(int32_t key, int32_t shift) { log_input(-11, {key, shift}); }
void __stdcall app_system_key_up(int32_t key, int32_t shift) { log_input(-12, {key, shift}); }

void __stdcall app_radio_chosen() {
  log_line("radio " + probe::hex(frame::current_event_source().unit_id) + " chosen");
}

void __stdcall app_dialog_created() { log_line("dialog created"); }
int __stdcall app_dialog_close_asked() { return probe::close_asked(); }
int __stdcall app_dialog_close() { return probe::close_going_ahead(); }
void __stdcall app_dialog_quit() {
  log_line("dialog posts WM_QUIT");
  PostQuitMessage(kQuitCode);
}

}  // extern "C"

namespace frame {

const UnitLibrary* const kLibraries[] = {&units::kSystemUnitLibrary, &units::kLabelUnitLibrary, &probe_kinds::kLibrary};

const ProgramHeader program_header =
    probe::header_with_template(probe::play_scenarios_entry<kScenarios>, second_application_handler_table, kLibraries);

}  // namespace frame
