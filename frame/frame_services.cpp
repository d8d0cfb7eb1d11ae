#include "frame/frame_services.h"

#include "frame/application.h"

namespace frame {

void initialise_frame() { Application::instance().initialise(); }
void register_exit_routine(void (*routine)(int)) { Application::instance().register_exit_routine(routine); }
void load_startup_window(uint32_t window_id) { Application::instance().load_startup_window(window_id); }
void run_message_loop() { Application::instance().run_message_loop(); }
void end_program(int exit_code) { Application::instance().end_program(exit_code); }

const void* resolve_external_function(uint32_t index) {
  Application& app = Application::instance();
  return app.external_functions().resolve(index, app.program_folder());
}

}  // namespace frame
