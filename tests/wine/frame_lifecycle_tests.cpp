// The frame's life cycle, one scenario per process: how the loop ends, which thread
// shuts down, what runs at exit.
#include <gtest/gtest.h>

#include "probe_runner.h"

namespace {

driver::ProbeRun run_scenario(const std::string& scenario) {
  return driver::run_probe("TRELLIMO_FRAME_PROBE", scenario);
}

TEST(FrameLifecycle, ClosingTheOnlyWindowEndsTheLoopAndRunsAnExitRoutineRegisteredTwiceOnce) {
  const driver::ProbeRun run = run_scenario("close-window");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0));
  EXPECT_EQ(run.log, "loop returned\nexit routine 0 on main thread\n");
}

TEST(FrameLifecycle, EndRequestFromAWorkerShutsDownOnTheMainThreadWithItsCode) {
  const driver::ProbeRun run = run_scenario("end-from-worker");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(7));
  EXPECT_EQ(run.log, "exit routine 0 on main thread\n");
}

TEST(FrameLifecycle, WindowDestroyedBeforeTheLoopPostsNoQuitAndTheLoopReturnsAtOnce) {
  const driver::ProbeRun run = run_scenario("destroyed-before-loop");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0));
  EXPECT_EQ(run.log, "no quit posted\nloop returned\n");
}

TEST(FrameLifecycle, PeriodicCallbackOfADestroyedWindowIsDroppedWhileLiveOnesRunWhenIdle) {
  const driver::ProbeRun run = run_scenario("periodic-callbacks");
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0));
  EXPECT_EQ(run.log, "live callback kept running while idle\n");
}

}  // namespace
