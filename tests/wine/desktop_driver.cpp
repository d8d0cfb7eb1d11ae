#include "desktop_driver.h"

#include <cstdlib>
#include <thread>

#include "frame/owned_handle.h"
#include "pictures/gdi_scopes.h"

namespace driver {
namespace {

struct WindowSearch {
  DWORD process_id;
  std::wstring class_name;
  HWND found;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search.process_id || !IsWindowVisible(hwnd) || class_name(hwnd) != search.class_name) return TRUE;
  search.found = hwnd;
  return FALSE;
}

BOOL CALLBACK collect_child(HWND hwnd, LPARAM context) {
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

void send_mouse(DWORD flags, LONG x = 0, LONG y = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// To a screen point as absolute input counts it (0 to 65535 across the screen).
void move_mouse(POINT to) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  send_mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (to.x * 65535 + width / 2) / (width - 1),
             (to.y * 65535 + height / 2) / (height - 1));
}

void send_key(WORD virtual_key, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
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

ChildProcess::ChildProcess(const std::wstring& path, const std::wstring& arguments) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::wstring command_line = L"\"" + path + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  if (CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
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
  return poll(timeout, [&]() -> HWND {
    WindowSearch search{process_id, class_name, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
}

std::vector<HWND> child_windows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, collect_child, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::wstring window_text(HWND hwnd) {
  const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
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

std::optional<MessageBoxView> wait_for_message_box(DWORD process_id, std::chrono::milliseconds timeout) {
  HWND box = wait_for_window(process_id, L"#32770", timeout);
  if (box == nullptr) return std::nullopt;
  // The message text is the dialog's static control with the id -1.
  return MessageBoxView{box, window_text(box), window_text(GetDlgItem(box, 0xFFFF))};
}

void click(HWND hwnd) {
  const RECT rect = window_rect(hwnd);
  move_mouse({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  send_mouse(MOUSEEVENTF_LEFTDOWN);
  send_mouse(MOUSEEVENTF_LEFTUP);
}

void drag(POINT from, POINT to) {
  constexpr int kSteps = 10;
  move_mouse(from);
  send_mouse(MOUSEEVENTF_LEFTDOWN);
  std::this_thread::sleep_for(100ms);
  for (int step = 1; step <= kSteps; ++step) {
    move_mouse({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
    std::this_thread::sleep_for(20ms);
  }
  send_mouse(MOUSEEVENTF_LEFTUP);
}

std::vector<uint32_t> capture_screen(RECT area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const pictures::ScreenDc screen;
  if (width <= 0 || height <= 0 || screen.get() == nullptr) return {};
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const frame::OwnedHandle<HBITMAP, frame::DeleteGdiObject> section(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const pictures::MemoryDc memory(screen.get(), section.get());
  if (!memory || !BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) return {};
  GdiFlush();
  const auto* first = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

uint32_t pixel_at(const std::vector<uint32_t>& capture, const RECT& area, int x, int y) {
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(area.right - area.left) + static_cast<size_t>(x);
  return index < capture.size() ? capture[index] : 0xFFFFFFFF;
}

void press_key(HWND hwnd, WORD virtual_key, bool with_shift) {
  SetForegroundWindow(hwnd);
  if (with_shift) send_key(VK_SHIFT, 0);
  send_key(virtual_key, 0);
  send_key(virtual_key, KEYEVENTF_KEYUP);
  if (with_shift) send_key(VK_SHIFT, KEYEVENTF_KEYUP);
}

}  // namespace driver
