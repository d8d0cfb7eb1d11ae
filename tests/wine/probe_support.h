#pragma once
// What the probe programs share: a log the driver tests read, and the scenario named
// on the command line.
#include <span>
#include <string>
#include <string_view>

#include "frame/frame_services.h"

namespace probe {

// Appends a line to the file named by TRELLIMO_PROBE_LOG.
void log_line(const std::string& line);
// The last word of the command line.
std::string scenario();

struct Scenario {
  std::string_view name;
  void (*play)();
};

// Plays the scenario the command line names, if the table has it.
void play_named_scenario(std::span<const Scenario> scenarios);

// A program header's entry routine that starts the frame and plays the scenario the
// command line names from `scenarios`.
template <const auto& scenarios>
int play_scenarios_entry() {
  frame::initialise_frame();
  play_named_scenario(scenarios);
  return 0;
}
std::string hex(unsigned value);

// What a probe window's close handlers answer, logging each call: asked to close,
// the window agrees, except the first time once refuse_first_close() was called;
// closing goes ahead.
void refuse_first_close();
int close_asked();
int close_going_ahead();

}  // namespace probe
