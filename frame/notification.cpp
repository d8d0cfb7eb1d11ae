// The notification entry point: the frame's typed calls by request number, for unit
// libraries that reach the frame through the pointer it hands them.
#include "frame/notification.h"

#include "frame/application.h"
#include "frame/events.h"
#include "frame/frame_services.h"
#include "frame/runtime_error.h"
#include "frame/typed_value.h"

#include <vector>

namespace frame {
namespace {

// 1 when a routine ran (its result stored if asked for), else 0.
intptr_t deliver(std::optional<uint64_t> result, uint64_t* store) {
  if (result && store != nullptr) *store = *result;
  return result ? 1 : 0;
}

intptr_t raise_requested_event(const EventRequest& request) {
  const std::vector<uint32_t> words(request.arguments, request.arguments + request.argument_count);
  return deliver(raise_event(request.window_id, request.unit_id, request.event, std::span<const uint32_t>(words)),
                 request.result);
}

// Typed arguments go on the stack as their type passes them, unless their flags say
// one word or two.
std::vector<uint32_t> words_of(const EventArgument* arguments, uint32_t count) {
  std::vector<uint32_t> words;
  for (uint32_t i = 0; i < count; ++i) {
    const EventArgument& argument = arguments[i];
    const TypedValue value{argument.low, argument.high, argument.type};
    const bool two_words = (argument.flags & 2) != 0 || ((argument.flags & 1) == 0 && value.is_two_words());
    push_argument_words(value, two_words, words);
  }
  return words;
}

intptr_t raise_typed_event(const TypedEventRequest& request) {
  const std::vector<uint32_t> words = words_of(request.arguments, request.argument_count);
  return deliver(raise_event(request.window_id, request.unit_id, request.event, std::span<const uint32_t>(words)),
                 request.result);
}

int32_t to_integer(const TypedValue& value) {
  const auto converted = numeric_to_int32(value);
  if (!converted) report_runtime_error("欲转换数据类型不是数值", 0, 0, 0);
  return *converted;
}

}  // namespace

intptr_t frame_notify(int request, intptr_t first, intptr_t second) {
  Application& app = Application::instance();
  const auto window_id = static_cast<uint32_t>(first);
  const auto unit_id = static_cast<uint32_t>(second);
  switch (request) {
    case kNotifyWindowTable:
      return reinterpret_cast<intptr_t>(&app.windows());
    case kNotifyKindDescriptor:
      return reinterpret_cast<intptr_t>(app.kind_descriptor(static_cast<uint32_t>(first)));
    case kNotifyAddPeriodic:
    case kNotifyRemovePeriodic: {
      const auto& callback = *reinterpret_cast<const PeriodicCallbackRequest*>(first);
      if (request == kNotifyAddPeriodic) {
        app.add_periodic_callback(callback.window, callback.routine, callback.argument);
      } else {
        app.remove_periodic_callback(callback.window, callback.routine, callback.argument);
      }
      return 0;
    }
    case kNotifyWindowDestroyed:
      window_destroyed(window_id);
      return 0;
    case kNotifyToInteger:
      return to_integer(*reinterpret_cast<const TypedValue*>(first));
    case kNotifyLiveObject:
      return reinterpret_cast<intptr_t>(live_object(window_id, unit_id));
    case kNotifyLiveObjectOrError:
      return reinterpret_cast<intptr_t>(&live_object_or_error(window_id, unit_id));
    case kNotifyRaiseEvent:
      return raise_requested_event(*reinterpret_cast<const EventRequest*>(first));
    case kNotifyRaiseTypedEvent:
      return raise_typed_event(*reinterpret_cast<const TypedEventRequest*>(first));
    case kNotifyLoadBegins:
      app.suppress_events();
      return 0;
    case kNotifyLoadEnds:
      app.release_events();
      return 0;
    case kNotifyEndProgram:
      app.end_program(static_cast<int>(first));
    default:
      return 0;
  }
}

}  // namespace frame
