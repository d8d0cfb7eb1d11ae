#include "frame/events.h"

#include "frame/application.h"
#include "frame/runtime_error.h"
#include "frame/stdcall_call.h"

namespace frame {
namespace {

EventSource g_source;

// Links chain a unit to another unit of the same kind whose bindings it shares.
size_t follow_links(const WindowRecord& window, size_t index) {
  const auto& records = window.section().records;
  const uint32_t kind = records[index].kind;
  for (size_t steps = 0; steps < records.size() && records[index].link != 0; ++steps) {
    auto linked = window.find_record(records[index].link);
    if (!linked || *linked == 0 || records[*linked].kind != kind) break;
    index = *linked;
  }
  return index;
}

HandlerAddress bound_handler(const WindowRecord& window, size_t index, int event) {
  const UnitRecord& record = window.section().records[index];
  const auto& handlers = window.handlers(index);
  if (record.is_menu_item()) return handlers.empty() ? nullptr : handlers.front();
  for (size_t i = 0; i < record.bindings.size(); ++i) {
    if (static_cast<int>(record.bindings[i].event) == event) return handlers[i];
  }
  return nullptr;
}

}  // namespace

EventSource current_event_source() { return g_source; }

std::optional<uint64_t> raise_event(uint32_t window_id, uint32_t unit_id, int event,
                                    std::span<const uint32_t> arguments) {
  Application& app = Application::instance();
  if (app.events_suppressed()) return std::nullopt;
  const auto a = static_cast<int32_t>(window_id);
  const auto b = static_cast<int32_t>(unit_id);
  WindowRecord* window = app.windows().find(window_id);
  if (window == nullptr) report_runtime_error("未找到引发事件的窗口", 0, a, b);
  auto index = window->find_record(unit_id);
  if (!index) report_runtime_error("未找到引发事件的窗口组件", 0, a, b);
  const size_t source_index = follow_links(*window, *index);
  const KindDescriptor* kind = app.kind_descriptor(window->section().records[source_index].kind);
  if (kind == nullptr || !kind->raises_events()) {
    report_runtime_error("引发事件的窗口组件无效", 0, a, b);
  }
  HandlerAddress handler = bound_handler(*window, source_index, event);
  if (handler == nullptr) return std::nullopt;

  g_source = {window_id, window->section().records[*index].id};
  // The call restores the stack pointer whatever the routine removed.
  int32_t stack_difference = 0;
  const uint64_t result =
      frame_call_stdcall(handler, arguments.data(), static_cast<uint32_t>(arguments.size()), &stack_difference);
  g_source.window_id = 0;
  return result;
}

void push_argument_words(const TypedValue& value, bool two_words, std::vector<uint32_t>& words) {
  uint32_t first = value.low;
  if (value.type == kTypeByte) first = value.low & 0xFF;
  if (value.type == kTypeShort) first = static_cast<uint32_t>(static_cast<int16_t>(value.low & 0xFFFF));
  words.push_back(first);
  if (two_words) words.push_back(value.high);
}

std::optional<uint64_t> raise_event(uint32_t window_id, uint32_t unit_id, int event,
                                    std::span<const TypedValue> arguments) {
  std::vector<uint32_t> words;
  for (const TypedValue& value : arguments) push_argument_words(value, value.is_two_words(), words);
  return raise_event(window_id, unit_id, event, std::span<const uint32_t>(words));
}

}  // namespace frame
