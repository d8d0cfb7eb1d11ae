#pragma once
// The one entry point through which units and libraries reach the frame, by request
// number. Libraries receive its address at start-up.
#include <windows.h>

#include <cstdint>

namespace frame {

enum NotifyRequest : int {
  kNotifyWindowTable = 1001,
  kNotifyKindDescriptor = 1002,
  kNotifyAddPeriodic = 1012,
  kNotifyRemovePeriodic = 1013,
  kNotifyWindowDestroyed = 2000,
  kNotifyLiveObject = 2006,
  kNotifyLiveObjectOrError = 2007,
  kNotifyRaiseEvent = 2008,
  kNotifyLoadBegins = 2009,
  kNotifyLoadEnds = 2010,
  kNotifyEndProgram = 2028,
};

// Argument of 1012 / 1013.
struct PeriodicCallbackRequest {
  HWND window;
  void (*routine)(intptr_t argument);
  intptr_t argument;
};

// Argument of 2008: an event without arguments; `result` may be null.
struct EventRequest {
  uint32_t window_id;
  uint32_t unit_id;
  int event;
  uint64_t* result;
};

intptr_t frame_notify(int request, intptr_t first, intptr_t second);

}  // namespace frame
