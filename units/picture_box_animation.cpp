#include "units/picture_box_animation.h"

#include <vector>

#include "frame/exception_barrier.h"
#include "frame/gdi_scopes.h"
#include "pictures/decode.h"

namespace units {
namespace {

enum class Wait { until_free, not_at_all };

// The busy lock over the frame bitmap, held for one scope if it was taken.
class BusyScope {
 public:
  BusyScope(SRWLOCK& lock, Wait wait) : lock_(lock) {
    if (wait == Wait::until_free) AcquireSRWLockExclusive(&lock_);
    held_ = wait == Wait::until_free || TryAcquireSRWLockExclusive(&lock_);
  }
  ~BusyScope() {
    if (held_) ReleaseSRWLockExclusive(&lock_);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  bool held() const { return held_; }

 private:
  SRWLOCK& lock_;
  bool held_ = false;
};

}  // namespace

std::unique_ptr<GifAnimation> GifAnimation::start(HWND window, std::span<const pictures::AnimationFrame> frames,
                                                  int width, int height, COLORREF background, uint32_t plays) {
  if (frames.empty()) return nullptr;
  std::unique_ptr<GifAnimation> animation(new GifAnimation(window, frames, width, height, background, plays));
  if (!animation->make_frame_bitmap()) return nullptr;
  animation->stop_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!animation->stop_) return nullptr;
  animation->thread_.reset(CreateThread(nullptr, 0, play, animation.get(), 0, nullptr));
  if (!animation->thread_) return nullptr;
  return animation;
}

GifAnimation::GifAnimation(HWND window, std::span<const pictures::AnimationFrame> frames, int width, int height,
                           COLORREF background, uint32_t plays)
    : window_(window), frames_(frames), width_(width), height_(height), plays_(plays), background_(background) {}

GifAnimation::~GifAnimation() {
  if (!thread_) return;
  SetEvent(stop_.get());
  WaitForSingleObject(thread_.get(), INFINITE);
}

bool GifAnimation::make_frame_bitmap() {
  const frame::ScreenDc screen = frame::screen_dc();
  if (!screen.get()) return false;
  frame_bitmap_.reset(CreateCompatibleBitmap(screen.get(), width_, height_));
  frame::MemoryDc canvas(screen.get(), frame_bitmap_.get());
  if (!frame_bitmap_ || !canvas) return false;
  const frame::OwnedBrush brush(CreateSolidBrush(background_));
  const RECT all{0, 0, width_, height_};
  FillRect(canvas.get(), &all, brush.get());
  return true;
}

bool GifAnimation::draw_current(HDC target, const RECT& to) {
  const BusyScope busy(busy_, Wait::not_at_all);
  if (!busy.held() || !composed_) return false;
  frame::MemoryDc canvas(target, frame_bitmap_.get());
  SetStretchBltMode(target, COLORONCOLOR);
  return canvas && StretchBlt(target, to.left, to.top, to.right - to.left, to.bottom - to.top, canvas.get(), 0, 0,
                              width_, height_, SRCCOPY);
}

DWORD WINAPI GifAnimation::play(void* self) {
  frame::guarded([self] { static_cast<GifAnimation*>(self)->play_frames(); });
  return 0;
}

void GifAnimation::set_background(COLORREF background) {
  background_ = background;
  compose(shown_);
}

// Plays the frames through `plays_` times, or until told to stop; the last frame
// stays. The stop event doubles as the timer, so a stop is seen within the frame
// being shown.
void GifAnimation::play_frames() {
  for (uint32_t played = 0; plays_ == 0 || played < plays_; ++played) {
    for (size_t next = 0; next < frames_.size(); ++next) {
      compose(next);
      InvalidateRect(window_, nullptr, FALSE);
      const DWORD delay = pictures::frame_delay_ms(frames_[next].delay_cs);
      if (WaitForSingleObject(stop_.get(), delay) != WAIT_TIMEOUT) return;
    }
  }
}

// The frame's clear pixels take the background colour, then the whole frame goes
// into the bitmap as 32-bit rows top-down.
void GifAnimation::compose(size_t frame) {
  std::vector<uint8_t> pixels = frames_[frame].bgra;
  if (pixels.size() != size_t(width_) * size_t(height_) * 4) return;
  pictures::blend_alpha(pixels, background_);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
  const BusyScope busy(busy_, Wait::until_free);
  frame::MemoryDc canvas(nullptr, frame_bitmap_.get());
  if (!canvas) return;
  if (SetDIBitsToDevice(canvas.get(), 0, 0, width_, height_, 0, 0, 0, height_, pixels.data(), &info, DIB_RGB_COLORS) !=
      0) {
    composed_ = true;
    shown_ = frame;
  }
}

}  // namespace units
