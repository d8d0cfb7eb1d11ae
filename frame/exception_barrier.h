#pragma once
// No exception may leave a window procedure, a thread routine, the entry routine or
// a service entry: beyond them lie Windows' own frames, where an exception ends the
// program in abort without a word. Each runs its work through `guarded`, which turns
// anything thrown into the frame's run-time error: the box, then exit code -1.
#include <utility>

namespace frame {

// For a catch block: reports the exception in flight as a run-time error.
[[noreturn]] void report_escaped_exception() noexcept;

template <typename Work>
auto guarded(Work&& work) noexcept -> decltype(std::forward<Work>(work)()) {
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    report_escaped_exception();
  }
}

}  // namespace frame
