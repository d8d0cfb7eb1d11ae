#pragma once
// Starts a probe program with a scenario and a fresh log, and reads what it logged.
#include <memory>
#include <string>

#include "desktop_driver.h"

namespace driver {

class Probe {
 public:
  // `program_variable` names the environment variable holding the probe's path.
  Probe(const char* program_variable, const std::string& scenario);

  ChildProcess& process() { return *process_; }
  std::string log() const;

 private:
  std::string log_path_;
  std::unique_ptr<ChildProcess> process_;
};

struct ProbeRun {
  std::optional<DWORD> exit_code;
  std::string log;
};

// Runs a scenario to its end (30 s at most).
ProbeRun run_probe(const char* program_variable, const std::string& scenario);

// The text a run-time error box shows for a message without a code and its two numbers.
std::wstring runtime_error_text(const std::wstring& message, const std::wstring& detail);

}  // namespace driver
