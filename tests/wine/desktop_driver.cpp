#include "desktop_driver.h"

#include <cstdlib>
#include <functional>
#include <thread>

#include "canvas.h"

namespace driver {
namespace {

struct WindowSearch {
  DWORD process_id;
  std::wstring class_name;
  // Further says which of the windows of that class is wanted; any when empty.
  std::function<bool(HWND)> wanted;
  HWND found;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search.process_id || !IsWindowVisible(hwnd) || class_name(hwnd) != search.class_name) return TRUE;
  if (search.wanted && !search.wanted(hwnd)) return TRUE;
  search.found = hwnd;
  return FALSE;
}

BOOL CALLBACK collect_window(HWND hwnd, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(hwnd);
  return TRUE;
}

template <typename Probe>
auto poll(std::chrono::milliseconds timeout, Probe probe) -> decltype(probe()) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    auto result = probe();
    if (result || std::chrono::steady_clock::now() >= deadline) return result;
    std::this_thread::sleep_for(20ms);
  }
}

HWND wait_for_window_where(DWORD process_id, const std::wstring& class_name, std::function<bool(HWND)> wanted,
                           std::chrono::milliseconds timeout) {
  return poll(timeout, [&]() -> HWND {
    WindowSearch search{process_id, class_name, wanted, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

// The message text is the dialog's static control with the id -1.
std::wstring message_text(HWND box) { return window_text(GetDlgItem(box, 0xFFFF)); }

std::optional<MessageBoxView> view_of(HWND box) {
  if (box == nullptr) return std::nullopt;
  return MessageBoxView{box, window_text(box), message_text(box)};
}

void send_mouse(DWORD flags, LONG x = 0, LONG y = 0, DWORD data = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.mouseData = data;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

void send_key(WORD virtual_key, DWORD flags, WORD character = 0) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = character;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::wstring windows_path(const std::string& unix_path) {
  std::wstring path = L"Z:";
  for (char c : unix_path) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

std::string program_from_environment(const char* variable) {
  const char* value = std::getenv(variable);
  return value ? value : "";
}

std::optional<StartedProcess> start_process(const std::wstring& path, const std::wstring& arguments) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::wstring command_line = L"\"" + path + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  return StartedProcess{info.hProcess, info.dwProcessId};
}

ChildProcess::ChildProcess(const std::wstring& path, const std::wstring& arguments) {
  if (const std::optional<StartedProcess> started = start_process(path, arguments)) {
    process_ = started->handle;
    id_ = started->id;
  }
}

ChildProcess::~ChildProcess() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

std::optional<DWORD> ChildProcess::wait_for_exit(std::chrono::milliseconds timeout) {
  if (process_ == nullptr) return std::nullopt;
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool wait_until(std::chrono::milliseconds timeout, const std::function<bool()>& condition) {
  return poll(timeout, condition);
}

HWND wait_for_window(DWORD process_id, const std::wstring& class_name, std::chrono::milliseconds timeout) {
  return wait_for_window_where(process_id, class_name, nullptr, timeout);
}

std::vector<HWND> child_windows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, collect_window, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::vector<HWND> top_level_windows(DWORD process_id) {
  std::vector<HWND> all, owned;
  EnumWindows(collect_window, reinterpret_cast<LPARAM>(&all));
  for (HWND hwnd : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == process_id) owned.push_back(hwnd);
  }
  return owned;
}

// The text may change between asking its length and copying it (another thread of
// the program writes it): a copy that fills the buffer may have been cut, so ask again.
std::wstring window_text(HWND hwnd) {
  constexpr size_t kSpare = 256;
  for (;;) {
    const auto length = static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + kSpare, L'\0');
    SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    const size_t copied = wcsnlen(text.c_str(), text.size());
    if (copied + 1 < text.size()) {
      text.resize(copied);
      return text;
    }
  }
}

std::wstring class_name(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

RECT window_rect(HWND hwnd) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return rect;
}

HWND unit_at(HWND window, int left, int top) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  for (HWND unit : child_windows(window)) {
    const RECT rect = window_rect(unit);
    if (rect.left - origin.x == left && rect.top - origin.y == top) return unit;
  }
  return nullptr;
}

std::optional<MessageBoxView> wait_for_message_box(DWORD process_id, std::chrono::milliseconds timeout) {
  return view_of(wait_for_window(process_id, L"#32770", timeout));
}

std::optional<MessageBoxView> wait_for_message_box_saying(DWORD process_id, const std::wstring& text,
                                                          std::chrono::milliseconds timeout) {
  return view_of(wait_for_window_where(
      process_id, L"#32770", [&](HWND box) { return message_text(box) == text; }, timeout));
}

bool press_box_button(const MessageBoxView& box, int button) {
  HWND control = GetDlgItem(box.hwnd, button);
  // A box hides as soon as it is answered; clicking again after that could answer
  // the next box shown in the same place.
  const auto hidden = [&] { return IsWindowVisible(box.hwnd) == FALSE; };
  for (int press = 0; press < 5 && control != nullptr && !hidden(); ++press) {
    click(control);
    wait_until(5s, hidden);
  }
  return hidden() && wait_until(5s, [&] { return IsWindow(box.hwnd) == FALSE; });
}

void click(HWND hwnd) {
  const RECT rect = window_rect(hwnd);
  move_mouse({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  press_left_button();
  release_left_button();
}

// Returns once the cursor is there (to the pixel the normalised coordinates allow).
// Wine moves its cursor only when the X server has warped the pointer, and a press
// sent before then lands where the pointer was: on a page that has just gone, or on
// the close button of a window that opened under the pointer the last test left.
void move_mouse(POINT screen_point) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  send_mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (screen_point.x * 65535 + width / 2) / (width - 1),
             (screen_point.y * 65535 + height / 2) / (height - 1));
  wait_until(2s, [&] {
    POINT at;
    return GetCursorPos(&at) && std::abs(at.x - screen_point.x) <= 1 && std::abs(at.y - screen_point.y) <= 1;
  });
}

void press_left_button() { send_mouse(MOUSEEVENTF_LEFTDOWN); }
void release_left_button() { send_mouse(MOUSEEVENTF_LEFTUP); }
void press_right_button() { send_mouse(MOUSEEVENTF_RIGHTDOWN); }
void release_right_button() { send_mouse(MOUSEEVENTF_RIGHTUP); }
void turn_wheel(int distance) { send_mouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(distance)); }

std::vector<COLORREF> capture_screen(RECT rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};
  const support::Canvas canvas(width, height);
  const frame::ScreenDc screen = frame::screen_dc();
  if (!canvas || !BitBlt(canvas.dc(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY)) return {};
  return canvas.pixels();
}

void drag(POINT from, POINT to) {
  constexpr int kSteps = 10;
  move_mouse(from);
  press_left_button();
  std::this_thread::sleep_for(100ms);
  for (int step = 1; step <= kSteps; ++step) {
    move_mouse({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
    std::this_thread::sleep_for(20ms);
  }
  release_left_button();
}

COLORREF pixel_at(const std::vector<COLORREF>& capture, const RECT& area, int x, int y) {
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(area.right - area.left) + static_cast<size_t>(x);
  return index < capture.size() ? capture[index] : 0xFFFFFFFF;
}

bool bring_to_foreground(HWND hwnd) {
  return wait_until(5s, [&] {
    if (GetForegroundWindow() == hwnd) return true;
    SetForegroundWindow(hwnd);
    return false;
  });
}

void press_key(HWND hwnd, WORD virtual_key, bool with_shift) {
  press_key_holding(hwnd, with_shift ? VK_SHIFT : 0, virtual_key);
}

void type_character(HWND hwnd, wchar_t character) {
  bring_to_foreground(hwnd);
  send_key(0, KEYEVENTF_UNICODE, character);
  send_key(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, character);
}

void press_key_holding(HWND hwnd, WORD held_key, WORD virtual_key) {
  bring_to_foreground(hwnd);
  if (held_key != 0) send_key(held_key, 0);
  send_key(virtual_key, 0);
  send_key(virtual_key, KEYEVENTF_KEYUP);
  if (held_key != 0) send_key(held_key, KEYEVENTF_KEYUP);
}

}  // namespace driver
