#include "services/utility_commands.h"

#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/exception_barrier.h"
#include "frame/frame_services.h"
#include "frame/gbk_wide.h"
#include "services/number_text.h"

namespace services {
namespace {

constexpr char kDefaultCaption[] = "信息：";
constexpr UINT kSystemModal = 0x1000;
constexpr UINT kTaskModal = 0x2000;

// Numbers are formatted into a buffer of this size.
constexpr size_t kNumberBufferSize = 100;

template <typename Floating>
Floating floating_of(uint64_t bits) {
  Floating value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// An OLE date as "2024年3月5日14时7分9秒"; a date out of its range shows nothing.
std::string date_time_text(double ole_date) {
  SYSTEMTIME time;
  if (!VariantTimeToSystemTime(ole_date, &time)) return {};
  char buffer[kNumberBufferSize];
  std::snprintf(buffer, sizeof buffer, "%d年%d月%d日%d时%d分%d秒", time.wYear, time.wMonth, time.wDay, time.wHour,
                time.wMinute, time.wSecond);
  return buffer;
}

std::string message_text(const ServiceArguments& args) {
  if (!args.present(0)) return {};
  const TypedValue& value = args.at(0);
  switch (value.type) {
    case frame::kTypeByte:
      return std::to_string(value.low & 0xFF);
    case frame::kTypeShort:
      return std::to_string(static_cast<int16_t>(value.low));
    case frame::kTypeInt:
      return std::to_string(static_cast<int32_t>(value.low));
    case frame::kTypeInt64:
      return std::to_string(static_cast<int64_t>(value.payload()));
    case frame::kTypeFloat:
      return shortest_decimal(floating_of<float>(value.low));
    case frame::kTypeDouble:
      return shortest_decimal(floating_of<double>(value.payload()));
    case frame::kTypeBool:
      return value.low != 0 ? "真" : "假";
    case frame::kTypeDateTime:
      return date_time_text(floating_of<double>(value.payload()));
    case frame::kTypeText:
      return std::string(args.text(0));
    default:
      return {};
  }
}

// A window argument names a template window; an integer is taken as a handle.
HWND owner_window(const TypedValue& owner) {
  if (owner.type == frame::kTypeInt) return reinterpret_cast<HWND>(static_cast<uintptr_t>(owner.low));
  if (owner.type != frame::kTypeWindow) return nullptr;
  const frame::WindowRecord* window = frame::find_window(owner.low);
  return window ? window->hwnd() : nullptr;
}

// The task-modal bit is added, not or-ed in, as callers have always had it.
UINT message_box_style(int32_t flags) {
  const auto style = static_cast<UINT>(flags);
  return (style & kSystemModal) != 0 ? style : style + kTaskModal;
}

int32_t button_code(int answer) { return answer >= IDOK && answer <= IDNO ? answer - IDOK : 0; }

}  // namespace

TypedValue message_box_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const std::string message = message_text(args);
    const std::string caption = args.present(2) ? std::string(args.text(2)) : kDefaultCaption;
    const HWND owner = count >= 4 ? owner_window(args.at(3)) : nullptr;
    const UINT style = message_box_style(args.integer(1).value_or(0));
    const int answer =
        MessageBoxW(owner, frame::wide_from_gbk(message).c_str(), frame::wide_from_gbk(caption).c_str(), style);
    return TypedValue::of_int(button_code(answer));
  });
}

TypedValue close_window_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const uint32_t window_id = args.present(0) ? args.at(0).low : 0;
    frame::UnitObject& window = frame::live_object_or_error(window_id, 0);
    frame::find_window(window_id)->mark_closing();
    if (args.logical(1)) {
      DestroyWindow(window.hwnd());
    } else {
      PostMessageA(window.hwnd(), frame::kMsgCloseRequest, 0, 0);
    }
    return no_result();
  });
}

TypedValue delay_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    Sleep(static_cast<DWORD>(std::max(args.integer(0).value_or(0), 0)));
    return no_result();
  });
}

}  // namespace services
