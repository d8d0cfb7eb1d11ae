#include "frame/notification.h"

#include "frame/application.h"
#include "frame/events.h"
#include "frame/runtime_error.h"

namespace frame {
namespace {

UnitObject* live_object(uint32_t window_id, uint32_t unit_id) {
  WindowRecord* window = Application::instance().windows().find(window_id);
  if (window == nullptr || !window->exists()) return nullptr;
  auto index = window->find_record(unit_id);
  if (!index) return nullptr;
  UnitInstance& unit = window->units()[*index];
  return unit.is_live() ? unit.object.get() : nullptr;
}

// 1 when a routine ran (its result stored if asked for), else 0.
intptr_t raise_requested_event(const EventRequest& request) {
  auto result = raise_event(request.window_id, request.unit_id, request.event);
  if (result && request.result != nullptr) *request.result = *result;
  return result ? 1 : 0;
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
      app.on_window_destroyed(window_id);
      return 0;
    case kNotifyLiveObject:
      return reinterpret_cast<intptr_t>(live_object(window_id, unit_id));
    case kNotifyLiveObjectOrError: {
      UnitObject* object = live_object(window_id, unit_id);
      if (object == nullptr) {
        report_runtime_error("指定窗口或窗口组件不存在或尚未载入", 0, static_cast<int32_t>(first),
                             static_cast<int32_t>(second));
      }
      return reinterpret_cast<intptr_t>(object);
    }
    case kNotifyRaiseEvent:
      return raise_requested_event(*reinterpret_cast<const EventRequest*>(first));
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
