#pragma once
// Raising a unit's event: the frame finds the routine the template binds to it and
// calls it on the calling (window) thread.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "frame/typed_value.h"

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

// One typed argument as the routine takes it: its first word (a byte zero-extended,
// a short sign-extended) and, when `two_words`, its high word.
void push_argument_words(const TypedValue& value, bool two_words, std::vector<uint32_t>& words);

// The same with typed arguments, each passed as its type passes it.
std::optional<uint64_t> raise_event(uint32_t window_id, uint32_t unit_id, int event,
                                    std::span<const TypedValue> arguments);

}  // namespace frame
