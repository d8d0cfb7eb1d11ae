#pragma once
// What the probe programs share: a log the driver tests read, and the scenario named
// on the command line.
#include <string>

namespace probe {

// Appends a line to the file named by TRELLIMO_PROBE_LOG.
void log_line(const std::string& line);
// The last word of the command line.
std::string scenario();
std::string hex(unsigned value);

}  // namespace probe
