#include "units/picture_box_animation.h"

#include "frame/exception_barrier.h"
#include "frame/gdi_scopes.h"

namespace units {
namespace {

// Delays under two hundredths of a second are played as a tenth, as picture viewers
// commonly do; a delay of 0 would otherwise keep the worker spinning.
constexpr uint16_t kShortestDelayCs = 2;
constexpr DWORD kShortDelayStandInMs = 100;

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
                                                  int width, int height, COLORREF background) {
  if (frames.empty()) return nullptr;
  std::unique_ptr<GifAnimation> animation(new GifAnimation(window, frames, width, height));
  if (!animation->make_frame_bitmap(background)) return nullptr;
  animation->stop_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!animation->stop_) return nullptr;
  animation->thread_.reset(CreateThread(nullptr, 0, play, animation.get(), 0, nullptr));
  if (!animation->thread_) return nullptr;
  return animation;
}

GifAnimation::GifAnimation(HWND window, std::span<const pictures::AnimationFrame> frames, int width, int height)
    : window_(window), frames_(frames), width_(width), height_(height) {}

GifAnimation::~GifAnimation() {
  if (!thread_) return;
  SetEvent(stop_.get());
  WaitForSingleObject(thread_.get(), INFINITE);
}

bool GifAnimation::make_frame_bitmap(COLORREF background) {
  const frame::ScreenDc screen = frame::screen_dc();
  if (!screen.get()) return false;
  frame_bitmap_.reset(CreateCompatibleBitmap(screen.get(), width_, height_));
  frame::MemoryDc canvas(screen.get(), frame_bitmap_.get());
  if (!frame_bitmap_ || !canvas) return false;
  const frame::OwnedBrush brush(CreateSolidBrush(background));
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

// Loops over the frames until told to stop; the stop event doubles as the timer, so
// a stop is seen within the frame being shown.
void GifAnimation::play_frames() {
  for (size_t next = 0;; next = (next + 1) % frames_.size()) {
    compose(frames_[next]);
    InvalidateRect(window_, nullptr, FALSE);
    if (WaitForSingleObject(stop_.get(), delay_ms(frames_[next])) != WAIT_TIMEOUT) return;
  }
}

void GifAnimation::compose(const pictures::AnimationFrame& frame) {
  if (frame.dib.size() < pictures::kDibPixelOffset) return;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(frame.dib.data());
  const BusyScope busy(busy_, Wait::until_free);
  frame::MemoryDc canvas(nullptr, frame_bitmap_.get());
  if (!canvas) return;
  if (SetDIBitsToDevice(canvas.get(), 0, 0, width_, height_, 0, 0, 0, height_,
                        frame.dib.data() + pictures::kDibPixelOffset, info, DIB_RGB_COLORS) != 0) {
    composed_ = true;
  }
}

DWORD GifAnimation::delay_ms(const pictures::AnimationFrame& frame) {
  return frame.delay_cs < kShortestDelayCs ? kShortDelayStandInMs : DWORD(frame.delay_cs) * 10;
}

}  // namespace units
