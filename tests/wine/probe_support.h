#pragma once
// What the probe programs share: a log the driver tests read, and the scenario named
// on the command line.
#include <span>
#include <string>
#include <string_view>

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
std::string hex(unsigned value);

}  // namespace probe
