#pragma once
// How many handles and how much private memory the probe process holds, for tests
// that repeat work thousands of times and expect both to stay flat.
#include <string>

namespace probe {

// Logs "LABEL handles N private BYTES".
void log_usage(const std::string& label);

}  // namespace probe
