#pragma once
// Table-driven tests of probe scenarios that run to their end: each row names the
// scenario and the exit code and whole log it must give. Header-only, so that only
// GoogleTest drivers pull GoogleTest in.
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>

#include "probe_runner.h"

namespace driver {

struct LoggedRun {
  const char* name;  // the test's name, letters and digits only: what the run shows
  const char* scenario;
  DWORD exit_code;
  std::string log;
};

// A log given as its lines, each ended as the probes end theirs.
inline std::string log_lines(std::initializer_list<std::string> lines) {
  std::string log;
  for (const std::string& line : lines) log += line + "\n";
  return log;
}

inline void PrintTo(const LoggedRun& run, std::ostream* out) { *out << run.scenario; }

inline std::string logged_run_name(const testing::TestParamInfo<LoggedRun>& info) { return info.param.name; }

// Plays the row's scenario on the probe named by `program_variable` and checks both.
inline void expect_logged_run(const char* program_variable, const LoggedRun& expected) {
  const ProbeRun run = run_probe(program_variable, expected.scenario);
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(expected.exit_code));
  EXPECT_EQ(run.log, expected.log);
}

}  // namespace driver
