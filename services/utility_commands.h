#pragma once
// The message-box, close-window and delay services, on the runtime-service
// convention.
#include "services/service_convention.h"

namespace services {

// (message of any basic type, flags, caption?, owner?) -> integer: the button
// pressed, counted from 0 in the order OK, Cancel, Abort, Retry, Ignore, Yes, No;
// 0 for any other answer and when the box cannot be shown. The box is task-modal
// unless the flags ask for system-modal; the caption defaults to "信息：".
TypedValue message_box_service(uint32_t count, const TypedValue* arguments);

// (window, immediately?) -> nothing. Destroys the window at once when asked to,
// otherwise once the running handler has returned. A window that is not loaded is a
// run-time error.
TypedValue close_window_service(uint32_t count, const TypedValue* arguments);

// (milliseconds) -> nothing, after sleeping that long; negative counts as 0.
TypedValue delay_service(uint32_t count, const TypedValue* arguments);

}  // namespace services
