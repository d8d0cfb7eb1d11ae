// A program on the frame whose entry routine plays one life-cycle scenario, named on
// its command line, and writes what it saw to the log file named by
// TRELLIMO_PROBE_LOG. The frame lifecycle tests start it and read the log.
#include <windows.h>

#include <iterator>
#include <string>

#include "frame/application.h"
#include "frame/frame_services.h"
#include "frame/notification.h"
#include "frame/program_header.h"
#include "probe_header.h"
#include "probe_support.h"
#include "units/unit_libraries.h"

namespace {

constexpr uint32_t kWindowId = 0x52010001;

bool on_main_thread() { return GetCurrentThreadId() == frame::Application::instance().main_thread_id(); }

void exit_routine(int position) {
  probe::log_line("exit routine " + std::to_string(position) +
                  (on_main_thread() ? " on main thread" : " on other thread"));
}

HWND installer_window() { return frame::Application::instance().windows().find(kWindowId)->hwnd(); }

// Closing the only window ends the loop; an exit routine registered twice runs once.
void close_window() {
  frame::register_exit_routine(exit_routine);
  frame::register_exit_routine(exit_routine);
  frame::load_startup_window(kWindowId);
  PostMessageA(installer_window(), WM_CLOSE, 0, 0);
  frame::run_message_loop();
  probe::log_line("loop returned");
}

DWORD WINAPI end_program_later(void*) {
  Sleep(200);
  frame::end_program(7);
}

// Ending the program from a worker runs the shutdown on the main thread.
void end_from_worker() {
  frame::register_exit_routine(exit_routine);
  frame::load_startup_window(kWindowId);
  CloseHandle(CreateThread(nullptr, 0, end_program_later, nullptr, 0, nullptr));
  frame::run_message_loop();
  probe::log_line("loop returned");
}

// A window gone before the loop starts posts no WM_QUIT, and the loop returns at once.
void destroyed_before_loop() {
  frame::load_startup_window(kWindowId);
  DestroyWindow(installer_window());
  MSG message;
  const bool quit_waiting = PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
  probe::log_line(quit_waiting ? "quit posted" : "no quit posted");
  frame::run_message_loop();
  probe::log_line("loop returned");
}

int live_calls = 0;

void live_callback(intptr_t) {
  if (++live_calls == 3) PostMessageA(installer_window(), WM_CLOSE, 0, 0);
}

void dead_callback(intptr_t) { probe::log_line("callback of a destroyed window ran"); }

void add_periodic(HWND window, void (*routine)(intptr_t)) {
  frame::PeriodicCallbackRequest request{window, routine, 0};
  frame::frame_notify(frame::kNotifyAddPeriodic, reinterpret_cast<intptr_t>(&request), 0);
}

// A periodic callback whose window is gone is dropped, the others run while idle.
void periodic_callbacks() {
  frame::load_startup_window(kWindowId);
  HWND doomed = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  add_periodic(doomed, dead_callback);
  add_periodic(installer_window(), live_callback);
  DestroyWindow(doomed);
  frame::run_message_loop();
  probe::log_line(live_calls >= 3 ? "live callback kept running while idle"
                                  : "live callback ran only " + std::to_string(live_calls) + " times");
}

constexpr probe::Scenario kScenarios[] = {
    {"close-window", close_window},
    {"end-from-worker", end_from_worker},
    {"destroyed-before-loop", destroyed_before_loop},
    {"periodic-callbacks", periodic_callbacks},
};

}  // namespace

namespace frame {

const ProgramHeader program_header = probe::header_with_template(probe::play_scenarios_entry<kScenarios>);

}  // namespace frame
