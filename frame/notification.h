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
  kNotifyToInteger = 2001,
  kNotifyLiveObject = 2006,
  kNotifyLiveObjectOrError = 2007,
  kNotifyRaiseEvent = 2008,
  kNotifyLoadBegins = 2009,
  kNotifyLoadEnds = 2010,
  kNotifyEndProgram = 2028,
  kNotifyRaiseTypedEvent = 2031,
};

// Argument of 1012 / 1013.
struct PeriodicCallbackRequest {
  HWND window;
  void (*routine)(intptr_t argument);
  intptr_t argument;
};

// Argument of 2008: an event with one-word arguments; `result` may be null.
struct EventRequest {
  uint32_t window_id;
  uint32_t unit_id;
  int event;
  uint64_t* result;
  const uint32_t* arguments = nullptr;
  uint32_t argument_count = 0;
};

// One argument of 2031.
struct EventArgument {
  uint32_t low;
  uint32_t high;
  uint32_t type;
  uint32_t flags;  // bit 0: pass the low word alone; bit 1: pass both words
};

// Argument of 2031: an event with typed arguments.
struct TypedEventRequest {
  uint32_t window_id;
  uint32_t unit_id;
  int event;
  uint64_t* result;
  const EventArgument* arguments;
  uint32_t argument_count;
};

intptr_t frame_notify(int request, intptr_t first, intptr_t second);

}  // namespace frame
