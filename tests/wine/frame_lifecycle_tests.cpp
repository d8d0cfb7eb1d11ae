// The frame's life cycle, one scenario per process: how the loop ends, which thread
// shuts down, what runs at exit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "desktop_driver.h"

namespace {

using namespace std::chrono_literals;

struct ScenarioRun {
  std::optional<DWORD> exit_code;
  std::string log;
};

std::string log_path_for(const std::string& scenario) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "frame-probe-" + scenario + ".log";
}

ScenarioRun run_scenario(const std::string& scenario) {
  const std::string log_path = log_path_for(scenario);
  DeleteFileA(log_path.c_str());
  SetEnvironmentVariableA("TRELLIMO_PROBE_LOG", log_path.c_str());
  const std::string probe = driver::program_from_environment("TRELLIMO_FRAME_PROBE");
  driver::ChildProcess process(driver::windows_path(probe), std::wstring(scenario.begin(), scenario.end()));
  EXPECT_TRUE(process.started());
  ScenarioRun run{process.wait_for_exit(30s), {}};
  std::ifstream log(log_path);
  std::stringstream text;
  text << log.rdbuf();
  run.log = text.str();
  return run;
}

TEST(FrameLifecycle, ClosingTheOnlyWindowEndsTheLoopAndRunsAnExitRoutineRegisteredTwiceOnce) {
  const ScenarioRun run = run_scenario("close-window");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0));
  EXPECT_EQ(run.log, "loop returned\nexit routine 0 on main thread\n");
}

TEST(FrameLifecycle, EndRequestFromAWorkerShutsDownOnTheMainThreadWithItsCode) {
  const ScenarioRun run = run_scenario("end-from-worker");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(7));
  EXPECT_EQ(run.log, "exit routine 0 on main thread\n");
}

TEST(FrameLifecycle, WindowDestroyedBeforeTheLoopPostsNoQuitAndTheLoopReturnsAtOnce) {
  const ScenarioRun run = run_scenario("destroyed-before-loop");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0));
  EXPECT_EQ(run.log, "no quit posted\nloop returned\n");
}

TEST(FrameLifecycle, PeriodicCallbackOfADestroyedWindowIsDroppedWhileLiveOnesRunWhenIdle) {
  const ScenarioRun run = run_scenario("periodic-callbacks");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0));
  EXPECT_EQ(run.log, "live callback kept running while idle\n");
}

}  // namespace
