#pragma once
// The way into the frame for everything outside it: the start-up services the
// entry routine calls, the windows and units the frame keeps, and (through the
// headers below) events and unit properties. Each is a plain call into the
// application object, which stays the frame's own.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame/events.h"
#include "frame/kind_descriptor.h"
#include "frame/unit_face.h"
#include "frame/window_table.h"

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
// Creates template window `window_id` (an existing one is only brought forward and,
// with `show`, shown). A modal window disables the template's other top-level
// windows and this returns once it has closed. False when it could not be made; an
// id the template lacks is a run-time error.
bool load_window(uint32_t window_id, bool show, bool modal, HWND owner);
// Told by the window kind when a window's close goes ahead, before it is destroyed:
// the windows its modality disabled take input again.
void end_modality(uint32_t window_id);

// The address of declared external function `index`, resolved on first use and
// cached; a library or export that cannot be found is a fatal run-time error.
const void* resolve_external_function(uint32_t index);

// The template windows, by id or all of them; null for an id the template lacks.
WindowRecord* find_window(uint32_t window_id);
const std::vector<std::unique_ptr<WindowRecord>>& all_windows();
// The object of a created unit (0 names the window's own): null, or a run-time
// error, for an unknown one or one not created yet.
UnitObject* live_object(uint32_t window_id, uint32_t unit_id);
UnitObject& live_object_or_error(uint32_t window_id, uint32_t unit_id);
// Null for a kind number no library carries.
const KindDescriptor* kind_descriptor(uint32_t kind_number);
// Told by a container with pages when it shows another page: its units follow.
void show_selected_page(uint32_t window_id, uint32_t container_id);
// The hidden window that owns the program's top-level windows kept off the taskbar.
HWND hidden_owner();
// The folder and file name of the running program, GBK, the folder without a
// trailing backslash.
const std::string& program_folder();
const std::string& program_file();
// Told by the window kind once a template window's native window is gone.
void window_destroyed(uint32_t window_id);

}  // namespace frame
