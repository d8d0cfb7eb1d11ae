#pragma once
// The services the installer's entry routine calls, each a plain call into the
// application object.
#include <cstdint>

namespace frame {

void initialise_frame();
// A routine already registered is not added again; routines run at shutdown in
// registration order and receive their position.
void register_exit_routine(void (*routine)(int position));
// An unknown id or a window that cannot be created is a run-time error.
void load_startup_window(uint32_t window_id);
// Returns when the last template window is gone.
void run_message_loop();
[[noreturn]] void end_program(int exit_code);

// The address of declared external function `index`, resolved on first use and
// cached; a library or export that cannot be found is a fatal run-time error.
const void* resolve_external_function(uint32_t index);

}  // namespace frame
