#pragma once
// Drives programs from outside their process, as a person at the desktop would:
// starts them, finds their windows, reads message boxes, and clicks and types with
// real input.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace driver {

using namespace std::chrono_literals;

// A Linux path (as ctest passes it) as the path Wine's Z: drive shows it.
std::wstring windows_path(const std::string& unix_path);

// The program a test drives, named by an environment variable ctest sets.
std::string program_from_environment(const char* variable);

// A process started with the program's path, quoted, as the first word of its
// command line. The caller owns `handle`.
struct StartedProcess {
  HANDLE handle;
  DWORD id;
};
std::optional<StartedProcess> start_process(const std::wstring& path, const std::wstring& arguments);

class ChildProcess {
 public:
  explicit ChildProcess(const std::wstring& path, const std::wstring& arguments = L"");
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // a process still running is ended

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // The exit code, or nothing if still running after `timeout`.
  std::optional<DWORD> wait_for_exit(std::chrono::milliseconds timeout);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// The first visible top-level window of `process_id` with this class, waiting up to `timeout`.
HWND wait_for_window(DWORD process_id, const std::wstring& class_name, std::chrono::milliseconds timeout);

std::vector<HWND> child_windows(HWND parent);
std::wstring window_text(HWND hwnd);
std::wstring class_name(HWND hwnd);
RECT window_rect(HWND hwnd);
// The child of `window` whose top-left corner lies at `left`, `top` of its client area.
HWND unit_at(HWND window, int left, int top);

struct MessageBoxView {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
};
std::optional<MessageBoxView> wait_for_message_box(DWORD process_id, std::chrono::milliseconds timeout);

// Real mouse input: move to the centre of `hwnd` and click the left button.
void click(HWND hwnd);
// Real mouse input, one step at a time: the pointer to a point on the screen, and
// the left button down or up where the pointer is.
void move_mouse(POINT screen_point);
void press_left_button();
void release_left_button();

// The screen's pixels inside `rect` (screen coordinates), row by row from the top,
// as COLORREFs; empty when the screen cannot be read.
std::vector<COLORREF> capture_screen(RECT rect);
// Real keyboard input to the foreground window, after bringing `hwnd` forward.
void press_key(HWND hwnd, WORD virtual_key);

}  // namespace driver
