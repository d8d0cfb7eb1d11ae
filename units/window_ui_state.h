#pragma once
// Whether a top-level window shows its keyboard cues (the focus cue, underlined
// mnemonics), kept by the window itself. Windows keeps it in DefWindowProc, but
// Wine 8's ignores WM_CHANGEUISTATE and answers WM_QUERYUISTATE with 0 (cues
// shown) whatever it was told, so the window answers these messages on its own.
#include <windows.h>

#include <utility>

namespace units {

class WindowUiState {
 public:
  // A WM_CHANGEUISTATE or WM_UPDATEUISTATE with UIS_SET or UIS_CLEAR; true when the
  // flags changed. UIS_INITIALIZE, which asks about the last input, is not needed
  // here: the window starts with its cues hidden.
  bool apply(WPARAM wparam) {
    const WORD flags = HIWORD(wparam) & (UISF_HIDEFOCUS | UISF_HIDEACCEL | UISF_ACTIVE);
    WORD next = flags_;
    if (LOWORD(wparam) == UIS_SET)
      next |= flags;
    else if (LOWORD(wparam) == UIS_CLEAR)
      next &= static_cast<WORD>(~flags);
    return std::exchange(flags_, next) != next;
  }
  // The answer to WM_QUERYUISTATE.
  LRESULT flags() const { return flags_; }

 private:
  WORD flags_ = 0;
};

}  // namespace units
