#pragma once
// Starts a probe program with a scenario and a fresh log, and reads what it logged.
#include <memory>
#include <string>
#include <vector>

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

// Empty when the log has both usage lines, `early` and `late` (probe::log_usage
// labels), and the second exceeds the first by at most `handles` handles and `bytes`
// private bytes; otherwise what went wrong.
std::string usage_growth_beyond(const std::vector<std::string>& log, const std::string& early, const std::string& late,
                                long handles, long long bytes);

// How many repetitions a soak test makes: the number in environment variable
// `variable` (`make stress` sets the long ones), else `quick`, the size `make test`
// runs, which still shows a leak of a handle or a buffer per repetition. The
// variable is set to the result, so a probe started afterwards reads the same.
int soak_size(const char* variable, int quick);

// GBK bytes of `text`, as a probe logs the texts of its template and of the frame.
std::string gbk(const std::wstring& text);

// The text a run-time error box shows for a message without a code and its two numbers.
std::wstring runtime_error_text(const std::wstring& message, const std::wstring& detail);

}  // namespace driver
