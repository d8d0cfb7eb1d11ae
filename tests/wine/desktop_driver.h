#pragma once
// Drives programs from outside their process, as a person at the desktop would:
// starts them, finds their windows, reads message boxes, and clicks and types with
// real input.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
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

// Asks `condition` every 20 ms until it holds or `timeout` has passed; its last answer.
bool wait_until(std::chrono::milliseconds timeout, const std::function<bool()>& condition);

// The first visible top-level window of `process_id` with this class, waiting up to `timeout`.
HWND wait_for_window(DWORD process_id, const std::wstring& class_name, std::chrono::milliseconds timeout);

std::vector<HWND> child_windows(HWND parent);
// The top-level windows of `process_id`, shown or hidden, topmost first.
std::vector<HWND> top_level_windows(DWORD process_id);
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
// The one showing `text`, where the program may show several at once.
std::optional<MessageBoxView> wait_for_message_box_saying(DWORD process_id, const std::wstring& text,
                                                          std::chrono::milliseconds timeout);
// Clicks the box's button (real input) until the box hides, a few times at most,
// then waits for it to go: a click that lands before a new box takes input is lost.
// Whether the box went.
bool press_box_button(const MessageBoxView& box, int button);

// Real mouse input: move to the centre of `hwnd` and click the left button.
void click(HWND hwnd);
// Real mouse input, one step at a time: the pointer to a point on the screen, and
// the left button down or up where the pointer is.
void move_mouse(POINT screen_point);
void press_left_button();
void release_left_button();
void press_right_button();
void release_right_button();
// Real wheel input: `distance` in the system's units, 120 a notch, positive away
// from the user.
void turn_wheel(int distance);
// Real mouse input: press the left button at `from` (screen coordinates), move to
// `to` in small steps, release there.
void drag(POINT from, POINT to);

// The screen's pixels inside `rect` (screen coordinates), row by row from the top,
// as COLORREFs; empty when the screen cannot be read.
std::vector<COLORREF> capture_screen(RECT rect);
// One pixel of a capture of `area`, at (x, y) relative to the area.
COLORREF pixel_at(const std::vector<COLORREF>& capture, const RECT& area, int x, int y);
// Makes `hwnd` the foreground window and waits until it is: the foreground moves a
// moment after it is asked to, and keys sent before then reach the window before.
// Whether it became the foreground window within a few seconds.
bool bring_to_foreground(HWND hwnd);
// Real keyboard input to the foreground window, after bringing `hwnd` forward;
// Shift is held around the key when asked.
void press_key(HWND hwnd, WORD virtual_key, bool with_shift = false);
// The same with `held_key` (VK_CONTROL, VK_MENU, ...; 0 for none) held around it.
void press_key_holding(HWND hwnd, WORD held_key, WORD virtual_key);
// A character typed as an input method types it, whatever the keyboard layout.
void type_character(HWND hwnd, wchar_t character);

}  // namespace driver
