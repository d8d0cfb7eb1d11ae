// The frame's life cycle, one scenario per process: how the loop ends, which thread
// shuts down, what runs at exit.
#include <gtest/gtest.h>

#include "logged_run.h"

namespace {

using driver::LoggedRun;

class FrameLifecycle : public testing::TestWithParam<LoggedRun> {};

TEST_P(FrameLifecycle, EndsWithItsCodeAndLog) { driver::expect_logged_run("TRELLIMO_FRAME_PROBE", GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Scenarios, FrameLifecycle,
    testing::Values(LoggedRun{"ClosingTheOnlyWindowEndsTheLoopAndRunsAnExitRoutineRegisteredTwiceOnce", "close-window",
                              0, "loop returned\nexit routine 0 on main thread\n"},
                    LoggedRun{"EndRequestFromAWorkerShutsDownOnTheMainThreadWithItsCode", "end-from-worker", 7,
                              "exit routine 0 on main thread\n"},
                    LoggedRun{"WindowDestroyedBeforeTheLoopPostsNoQuitAndTheLoopReturnsAtOnce", "destroyed-before-loop",
                              0, "no quit posted\nloop returned\n"},
                    LoggedRun{"PeriodicCallbackOfADestroyedWindowIsDroppedWhileLiveOnesRunWhenIdle",
                              "periodic-callbacks", 0, "live callback kept running while idle\n"}),
    driver::logged_run_name);

}  // namespace
