#pragma once
// A program started for one measurement and watched from outside its process: when
// its first painted window appears, and how much memory it holds at its peaks.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "frame/owned_handle.h"

namespace bench {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

struct MemoryPeaks {
  size_t private_bytes = 0;
  size_t working_set_bytes = 0;
};

class WatchedProcess {
 public:
  // The clock starts just before CreateProcess.
  WatchedProcess(const std::wstring& program, const std::wstring& arguments);

  bool started() const { return static_cast<bool>(process_); }
  DWORD id() const { return id_; }
  Clock::time_point start_time() const { return start_; }

  // Wine fills the peak private figure with the current one, so the peaks are kept
  // here from samples taken as often as the caller polls; the working-set peak is
  // the kernel's own high-water mark.
  void sample_memory();
  const MemoryPeaks& memory_peaks() const { return peaks_; }

  // The time from start to the first visible top-level window of the process that
  // shows a painted pixel; nothing after `timeout`.
  std::optional<Milliseconds> wait_for_first_paint(std::chrono::milliseconds timeout);

  // Samples memory while waiting; the exit code, or nothing after `timeout`.
  std::optional<DWORD> wait_for_exit(std::chrono::milliseconds timeout);

  // Ends the process if it still runs and waits until it is gone.
  void end();

 private:
  frame::OwnedKernelHandle process_;
  DWORD id_ = 0;
  Clock::time_point start_;
  MemoryPeaks peaks_;
};

// Polls `done` about once a millisecond, sampling `process`'s memory each time.
template <typename Condition>
bool poll_until(WatchedProcess& process, std::chrono::milliseconds timeout, Condition done) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    process.sample_memory();
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    Sleep(1);
  }
}

}  // namespace bench
