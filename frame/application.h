#pragma once
// The application object: one per process. It owns the frame's state from start-up
// to exit and runs the message loop in the fixed order the frame promises: idle work,
// periodic callbacks, message pumping, and an orderly shutdown.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/external_functions.h"
#include "frame/kind_descriptor.h"
#include "frame/owned_handle.h"
#include "frame/window_table.h"

namespace frame {

using ExitRoutine = void (*)(int position);
using PeriodicRoutine = void (*)(intptr_t argument);

class Application {
 public:
  static Application& instance();

  // The framework's main routine: InitInstance, then ExitInstance; the result is
  // the process exit code.
  int run();

  // Services the installer's entry routine calls, in this order.
  void initialise();
  void register_exit_routine(ExitRoutine routine);
  void load_startup_window(uint32_t window_id);
  void run_message_loop();
  [[noreturn]] void end_program(int code);

  // Creates a template window; a modal one runs the message loop in modal mode until
  // it closes (or WM_QUIT arrives, which is left for the outer loop). False when
  // the window could not be made.
  bool load_window(WindowRecord& window, bool show, bool modal, HWND owner);
  // A window closing gives back the windows its modality disabled and, when it was
  // modal, ends its modal loop.
  void end_modality(WindowRecord& window);

  void pump_pending_messages();

  // Runs `work` on the main thread and waits for it; on the main thread it simply runs.
  void run_on_main_thread(const std::function<void()>& work);

  WindowTable& windows() { return windows_; }
  const WindowTemplate* window_template() const { return template_.get(); }
  const KindDescriptor* kind_descriptor(uint32_t kind_number) const;
  HWND hidden_owner() const { return hidden_owner_.get(); }
  const std::string& program_folder() const { return program_folder_; }
  const std::string& program_file() const { return program_file_; }
  DWORD main_thread_id() const { return main_thread_id_; }
  ExternalFunctionTable& external_functions() { return external_functions_; }

  // No event is delivered while the counter is at least 1.
  bool events_suppressed() const { return event_suppression_ > 0; }
  void suppress_events() { ++event_suppression_; }
  void release_events() { --event_suppression_; }
  void begin_error_report();

  void add_periodic_callback(HWND window, PeriodicRoutine routine, intptr_t argument);
  void remove_periodic_callback(HWND window, PeriodicRoutine routine, intptr_t argument);

  // Called when a template window's native window is gone.
  void on_window_destroyed(uint32_t window_id);

 private:
  struct PeriodicCallback {
    HWND window;
    PeriodicRoutine routine;
    intptr_t argument;
  };

  Application() = default;
  // Constant-initialised, rather than a function-local static behind the C++
  // library's thread guard, for the one object every routine reaches.
  static Application instance_;

  bool init_instance();
  int exit_instance();
  bool on_idle(long count);
  bool pump_message();
  static bool is_idle_message(const MSG& message, MSG& last_mouse_move);
  bool pre_translate_message(MSG& message);

  void run_modal_loop();
  void run_loop(bool modal);
  void run_periodic_callbacks();
  void store_program_path();
  void create_hidden_owner();
  void load_window_template();
  void notify_libraries(int request, intptr_t first, intptr_t second);
  void shutdown(int code);
  void destroy_all_windows();
  void call_exit_routines();
  void release_frame_objects();

  std::string program_folder_;
  std::string program_file_;
  DWORD main_thread_id_ = 0;
  uint32_t version_words_[3] = {};
  bool ole_initialised_ = false;
  bool loop_entered_ = false;
  bool modal_active_ = false;
  std::atomic<bool> shutdown_in_progress_{false};
  std::atomic<int> event_suppression_{0};
  std::atomic<int> pending_errors_{0};
  bool framework_idle_on_ = false;
  DWORD idle_start_tick_ = 0;
  std::vector<uint32_t> idle_finished_windows_;
  int quit_code_ = 0;
  MSG current_message_ = {};
  MSG last_mouse_move_ = {};

  OwnedWindow hidden_owner_;
  std::unique_ptr<WindowTemplate> template_;
  WindowTable windows_;
  ExternalFunctionTable external_functions_;
  std::vector<ExitRoutine> exit_routines_;
  std::vector<PeriodicCallback> periodic_callbacks_;
};

}  // namespace frame
