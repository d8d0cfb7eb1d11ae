#pragma once
// The installer's messages to the user: an exclamation box with one OK button under
// the message-box service's own caption.
namespace app {

// Without an owner: the box is modal to the task and the handler goes on once the
// user has answered.
void warn_user(const char* text);

// Owned by the installer window, so that a box raised from the install worker comes
// up in front of the window rather than behind it.
void warn_user_over_window(const char* text);

}  // namespace app
