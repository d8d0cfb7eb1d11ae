#pragma once
// Raising a unit's event: the frame finds the routine the template binds to it and
// calls it on the calling (window) thread.
#include <cstdint>
#include <optional>
#include <span>

namespace frame {

// The unit an event came from while its routine runs.
struct EventSource {
  uint32_t window_id = 0;
  uint32_t unit_id = 0;
};
EventSource current_event_source();

// Calls the routine bound to the event with `arguments` (32-bit words, first
// argument first). The routine's result, or nothing when no routine ran (events
// suppressed, or no routine bound). An unknown window or unit is a run-time error.
std::optional<uint64_t> raise_event(uint32_t window_id, uint32_t unit_id, int event,
                                    std::span<const uint32_t> arguments = {});

}  // namespace frame
