#include "process_watch.h"

#include <psapi.h>

#include <algorithm>
#include <array>

#include "canvas.h"
#include "desktop_driver.h"

namespace bench {
namespace {

HWND visible_window_of(DWORD process_id) {
  for (HWND hwnd : driver::top_level_windows(process_id)) {
    RECT rect = {};
    if (IsWindowVisible(hwnd) && GetWindowRect(hwnd, &rect) && rect.right > rect.left && rect.bottom > rect.top)
      return hwnd;
  }
  return nullptr;
}

// The bare screen, before a window covers it, in its bottom-right corner (windows
// open centred or at the top left).
COLORREF screen_background() {
  return GetPixel(frame::screen_dc().get(), GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// A window counts as painted once any point of a 3 x 3 grid inside it shows
// something other than the bare screen.
bool shows_painting(HWND hwnd, COLORREF background) {
  RECT rect = {};
  if (!GetWindowRect(hwnd, &rect)) return false;
  const frame::ScreenDc screen = frame::screen_dc();
  bool painted = false;
  for (int row = 1; row <= 3 && !painted; ++row) {
    for (int column = 1; column <= 3 && !painted; ++column) {
      const int x = rect.left + (rect.right - rect.left) * column / 4;
      const int y = rect.top + (rect.bottom - rect.top) * row / 4;
      const COLORREF pixel = GetPixel(screen.get(), x, y);
      painted = pixel != CLR_INVALID && pixel != background;
    }
  }
  return painted;
}

}  // namespace

WatchedProcess::WatchedProcess(const std::wstring& program, const std::wstring& arguments) {
  start_ = Clock::now();
  if (const std::optional<driver::StartedProcess> started = driver::start_process(program, arguments)) {
    process_.reset(started->handle);
    id_ = started->id;
  }
}

void WatchedProcess::sample_memory() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process_.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
    return;
  }
  const auto private_bytes = static_cast<size_t>(std::max(counters.PeakPagefileUsage, counters.PrivateUsage));
  peaks_.private_bytes = std::max(peaks_.private_bytes, private_bytes);
  peaks_.working_set_bytes = std::max(peaks_.working_set_bytes, static_cast<size_t>(counters.PeakWorkingSetSize));
}

std::optional<Milliseconds> WatchedProcess::wait_for_first_paint(std::chrono::milliseconds timeout) {
  const COLORREF background = screen_background();
  std::optional<Milliseconds> elapsed;
  poll_until(*this, timeout, [&] {
    HWND window = visible_window_of(id_);
    if (window == nullptr || !shows_painting(window, background)) return false;
    elapsed = Clock::now() - start_;
    return true;
  });
  return elapsed;
}

std::optional<DWORD> WatchedProcess::wait_for_exit(std::chrono::milliseconds timeout) {
  const bool ended =
      poll_until(*this, timeout, [&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; });
  if (!ended) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void WatchedProcess::end() {
  if (!process_) return;
  if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
  WaitForSingleObject(process_.get(), 30000);
}

}  // namespace bench
