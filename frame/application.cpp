#include "frame/application.h"

#include <ole2.h>

#include <algorithm>

#include "frame/data_checksum.h"
#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "frame/gbk.h"
#include "frame/gbk_wide.h"
#include "frame/notification.h"
#include "frame/program_header.h"
#include "frame/runtime_error.h"
#include "frame/window_loader.h"

namespace frame {
namespace {

constexpr char kHiddenOwnerClass[] = "_QV_HideOwner";
constexpr UINT kSystemTimer = 0x0118;

LRESULT CALLBACK hidden_owner_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return guarded([&]() -> LRESULT {
    if (message == kMsgEndProgram) Application::instance().end_program(static_cast<int>(wparam));
    if (message == kMsgRunOnMainThread) {
      (*reinterpret_cast<const std::function<void()>*>(lparam))();
      return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  });
}

// A character of the path that GBK cannot hold comes out as '?', which no file name
// has: the folder is then not found rather than another one used.
std::string module_file_name() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return gbk_from_wide_or_marked(path);
    }
    path.resize(path.size() * 2);
  }
}

// A truncated or damaged download must not get as far as writing a product file:
// the data the header describes is checked against the checksum the build wrote.
bool embedded_data_intact() {
  const std::span<const uint8_t> constants(program_header.constants_start, program_header.constants_length);
  const std::span<const uint8_t> window_template(program_header.template_start, program_header.template_length);
  return data_checksum(constants, window_template) == program_header.data_checksum;
}

}  // namespace

constinit Application Application::instance_;

Application& Application::instance() { return instance_; }

int Application::run() {
  init_instance();
  return exit_instance();
}

// The installer's entry routine runs its own message loop to the end, so the
// framework's loop never runs and control goes straight on to ExitInstance.
bool Application::init_instance() {
  store_program_path();
  return program_header.entry_routine() != 0;
}

int Application::exit_instance() {
  shutdown(quit_code_);
  return quit_code_;
}

void Application::store_program_path() {
  const std::string path = module_file_name();
  const size_t slash = last_backslash(path);
  program_folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash);
  program_file_ = slash == std::string::npos ? path : path.substr(slash + 1);
}

void Application::initialise() {
  heap_attach(GetProcessHeap(), nullptr, nullptr);
  std::copy(std::begin(program_header.version_words), std::end(program_header.version_words), version_words_);
  if (!embedded_data_intact()) report_runtime_error("安装程序已损坏，请重新下载。", 0, 0, 0);
  if (!ole_initialised_) ole_initialised_ = SUCCEEDED(OleInitialize(nullptr));
  store_program_path();
  if (!program_folder_.empty()) SetCurrentDirectoryW(wide_from_gbk(program_folder_).c_str());
  create_hidden_owner();
  main_thread_id_ = GetCurrentThreadId();
  if (program_header.constants_length != 0) {
    heap_attach(GetProcessHeap(), program_header.constants_start,
                program_header.constants_start + program_header.constants_length);
  }
  external_functions_.assign(program_header.external_count, program_header.external_libraries,
                             program_header.external_functions);
  notify_libraries(2, 1, reinterpret_cast<intptr_t>(&frame_notify));
  if (program_header.template_length != 0) load_window_template();
}

void Application::create_hidden_owner() {
  WNDCLASSA window_class = {};
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!GetClassInfoA(instance, kHiddenOwnerClass, &window_class)) {
    window_class = {};
    window_class.lpfnWndProc = hidden_owner_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = kHiddenOwnerClass;
    RegisterClassA(&window_class);
  }
  hidden_owner_.reset(
      CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenOwnerClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
}

void Application::load_window_template() {
  const std::span<const uint8_t> block(program_header.template_start, program_header.template_length);
  TemplateReadResult parsed = read_template(block);
  if (!parsed.value || check_structure(*parsed.value)) report_runtime_error("载入窗口模板数据段出错!", 0, 0, 0);
  template_ = std::make_unique<WindowTemplate>(std::move(*parsed.value));
  for (const WindowSection& section : template_->windows) {
    windows_.append(std::make_unique<WindowRecord>(section, resolve_handlers(section, program_header.handler_base)));
  }
}

void Application::notify_libraries(int request, intptr_t first, intptr_t second) {
  for (uint32_t i = 0; i < program_header.library_count; ++i) {
    const UnitLibrary* library = program_header.libraries[i];
    if (library != nullptr && library->notify != nullptr) library->notify(request, first, second);
  }
}

const KindDescriptor* Application::kind_descriptor(uint32_t kind_number) const {
  const uint32_t library_number = kind_number >> 16;
  const uint32_t position = kind_number & 0xFFFF;
  if (library_number == 0 || library_number > program_header.library_count || position == 0) return nullptr;
  const UnitLibrary* library = program_header.libraries[library_number - 1];
  if (library == nullptr || position > library->kind_count) return nullptr;
  return library->kinds[position - 1];
}

void Application::register_exit_routine(ExitRoutine routine) {
  if (std::find(exit_routines_.begin(), exit_routines_.end(), routine) == exit_routines_.end()) {
    exit_routines_.push_back(routine);
  }
}

void Application::load_startup_window(uint32_t window_id) {
  WindowRecord* window = windows_.find(window_id);
  if (window == nullptr || !create_window(*window, false, false, nullptr)) {
    report_runtime_error("载入启动窗口失败", 0, 0, 0);
  }
}

void Application::run_message_loop() {
  loop_entered_ = true;
  if (!windows_.any_window_exists()) return;
  run_loop(false);
}

bool Application::load_window(WindowRecord& window, bool show, bool modal, HWND owner) {
  const bool existed = window.exists();
  if (!create_window(window, show, modal, owner)) return false;
  if (modal && !existed && window.exists()) run_modal_loop();
  return true;
}

// A modal window opened from another one's modal loop ends only its own loop.
void Application::run_modal_loop() {
  const bool outer_modal = modal_active_;
  modal_active_ = true;
  run_loop(true);
  modal_active_ = outer_modal;
}

void Application::end_modality(WindowRecord& window) {
  if (window.end_modality()) modal_active_ = false;
}

void Application::run_loop(bool modal) {
  for (;;) {
    bool idle = true;
    long idle_count = 0;
    while (idle && !PeekMessageW(&current_message_, nullptr, 0, 0, PM_NOREMOVE)) {
      run_periodic_callbacks();
      if (!on_idle(idle_count++)) idle = false;
      if (modal && !modal_active_) return;
    }
    do {
      if (modal && current_message_.message == WM_QUIT) return;
      if (!pump_message()) return;
      if (modal && !modal_active_) return;
      if (is_idle_message(current_message_, last_mouse_move_)) {
        idle = true;
        idle_count = 0;
      }
    } while (PeekMessageW(&current_message_, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void Application::run_periodic_callbacks() {
  for (size_t i = periodic_callbacks_.size(); i-- > 0;) {
    if (i >= periodic_callbacks_.size()) continue;  // a routine may have removed entries
    const PeriodicCallback callback = periodic_callbacks_[i];
    if (IsWindow(callback.window)) {
      callback.routine(callback.argument);
    } else {
      periodic_callbacks_.erase(periodic_callbacks_.begin() + static_cast<ptrdiff_t>(i));
    }
  }
}

// Our framework has no idle work of its own (no temporary handle maps to sweep),
// so the first two rounds only ask for more idle time and later rounds go to the
// windows.
bool Application::on_idle(long count) {
  if (count == 0) {
    idle_start_tick_ = GetTickCount();
    idle_finished_windows_.clear();
  }
  if (count < 2) return true;
  const DWORD elapsed = GetTickCount() - idle_start_tick_;
  bool more = false;
  for (const auto& window : windows_.windows()) {
    if (!window->exists()) continue;
    if (std::find(idle_finished_windows_.begin(), idle_finished_windows_.end(), window->id()) !=
        idle_finished_windows_.end()) {
      continue;
    }
    if (window->window_unit()->object->on_idle(elapsed)) {
      more = true;
    } else {
      idle_finished_windows_.push_back(window->id());
    }
  }
  return more;
}

bool Application::pump_message() {
  const BOOL got = GetMessageW(&current_message_, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    quit_code_ = static_cast<int>(current_message_.wParam);
    return false;
  }
  if (!pre_translate_message(current_message_)) {
    TranslateMessage(&current_message_);
    DispatchMessageW(&current_message_);
  }
  return true;
}

// Mouse moves that do not move, paints and the caret's system timer do not count as
// activity that should restart idle work.
bool Application::is_idle_message(const MSG& message, MSG& last_mouse_move) {
  if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
    const bool same = message.message == last_mouse_move.message && message.pt.x == last_mouse_move.pt.x &&
                      message.pt.y == last_mouse_move.pt.y;
    last_mouse_move = message;
    return !same;
  }
  return message.message != WM_PAINT && message.message != kSystemTimer;
}

// Offered to the objects from the target window up through its parents; the
// top-level window is the last one asked.
bool Application::pre_translate_message(MSG& message) {
  for (HWND hwnd = message.hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
    auto* object = reinterpret_cast<UnitObject*>(SendMessageA(hwnd, kMsgObjectOfWindow, 0, 0));
    if (object != nullptr && object->pre_translate_message(message)) return true;
    if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return false;
}

void Application::pump_pending_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (!pump_message()) break;
  }
}

void Application::run_on_main_thread(const std::function<void()>& work) {
  if (main_thread_id_ == 0 || GetCurrentThreadId() == main_thread_id_ || !hidden_owner_) {
    work();
    return;
  }
  SendMessageA(hidden_owner_.get(), kMsgRunOnMainThread, 0, reinterpret_cast<LPARAM>(&work));
}

void Application::begin_error_report() {
  ++pending_errors_;
  suppress_events();
}

void Application::add_periodic_callback(HWND window, PeriodicRoutine routine, intptr_t argument) {
  periodic_callbacks_.push_back({window, routine, argument});
}

void Application::remove_periodic_callback(HWND window, PeriodicRoutine routine, intptr_t argument) {
  std::erase_if(periodic_callbacks_, [&](const PeriodicCallback& c) {
    return c.window == window && c.routine == routine && c.argument == argument;
  });
}

void Application::on_window_destroyed(uint32_t window_id) {
  WindowRecord* window = windows_.find(window_id);
  if (window != nullptr) {
    end_modality(*window);
    window->loaded = false;
    window->release_objects();
  }
  notify_libraries(2000, static_cast<intptr_t>(window_id), 0);
  if (loop_entered_ && !windows_.any_window_exists()) PostQuitMessage(0);
}

void Application::end_program(int code) {
  shutdown(code);
  ExitProcess(static_cast<UINT>(code));
}

void Application::shutdown(int code) {
  suppress_events();
  if (main_thread_id_ != 0 && GetCurrentThreadId() != main_thread_id_) {
    SendMessageA(hidden_owner_.get(), kMsgEndProgram, static_cast<WPARAM>(code), 0);
    if (!shutdown_in_progress_) ExitProcess(static_cast<UINT>(code));
    return;
  }
  if (shutdown_in_progress_.exchange(true)) return;
  periodic_callbacks_.clear();
  destroy_all_windows();
  call_exit_routines();
  notify_libraries(6, 0, 0);
  external_functions_.release();
  release_frame_objects();
}

void Application::destroy_all_windows() {
  for (const auto& window : windows_.windows()) {
    if (window->exists()) DestroyWindow(window->hwnd());
    window->release_objects();
  }
}

void Application::call_exit_routines() {
  for (size_t i = 0; i < exit_routines_.size(); ++i) exit_routines_[i](static_cast<int>(i));
  exit_routines_.clear();
}

void Application::release_frame_objects() {
  hidden_owner_.reset();
  if (ole_initialised_) OleUninitialize();
  ole_initialised_ = false;
}

}  // namespace frame
