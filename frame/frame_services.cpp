#include "frame/frame_services.h"

#include "frame/application.h"
#include "frame/runtime_error.h"

namespace frame {

void initialise_frame() { Application::instance().initialise(); }
void register_exit_routine(void (*routine)(int)) { Application::instance().register_exit_routine(routine); }
void load_startup_window(uint32_t window_id) { Application::instance().load_startup_window(window_id); }
void run_message_loop() { Application::instance().run_message_loop(); }
void end_program(int exit_code) { Application::instance().end_program(exit_code); }

bool load_window(uint32_t window_id, bool show, bool modal, HWND owner) {
  WindowRecord* window = find_window(window_id);
  if (window == nullptr) {
    report_runtime_error("指定窗口或窗口组件不存在或尚未载入", 0, static_cast<int32_t>(window_id), 0);
  }
  return Application::instance().load_window(*window, show, modal, owner);
}

void end_modality(uint32_t window_id) {
  if (WindowRecord* window = find_window(window_id)) Application::instance().end_modality(*window);
}

const void* resolve_external_function(uint32_t index) {
  Application& app = Application::instance();
  return app.external_functions().resolve(index, app.program_folder());
}

WindowRecord* find_window(uint32_t window_id) { return Application::instance().windows().find(window_id); }
const std::vector<std::unique_ptr<WindowRecord>>& all_windows() { return Application::instance().windows().windows(); }

UnitObject* live_object(uint32_t window_id, uint32_t unit_id) {
  WindowRecord* window = find_window(window_id);
  if (window == nullptr || !window->exists()) return nullptr;
  auto index = window->find_record(unit_id);
  if (!index) return nullptr;
  UnitInstance& unit = window->units()[*index];
  return unit.is_live() ? unit.object.get() : nullptr;
}

UnitObject& live_object_or_error(uint32_t window_id, uint32_t unit_id) {
  UnitObject* object = live_object(window_id, unit_id);
  if (object == nullptr) {
    report_runtime_error("指定窗口或窗口组件不存在或尚未载入", 0, static_cast<int32_t>(window_id),
                         static_cast<int32_t>(unit_id));
  }
  return *object;
}

const KindDescriptor* kind_descriptor(uint32_t kind_number) {
  return Application::instance().kind_descriptor(kind_number);
}
void show_selected_page(uint32_t window_id, uint32_t container_id) {
  WindowRecord* window = find_window(window_id);
  if (window == nullptr) return;
  if (const auto index = window->find_record(container_id)) window->show_selected_page(*index);
}

HWND hidden_owner() { return Application::instance().hidden_owner(); }
const std::string& program_folder() { return Application::instance().program_folder(); }
const std::string& program_file() { return Application::instance().program_file(); }
void window_destroyed(uint32_t window_id) { Application::instance().on_window_destroyed(window_id); }

}  // namespace frame
