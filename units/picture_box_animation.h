#pragma once
// Playback of an animated GIF in a picture box. A worker thread puts each composed
// frame over the box's background colour into an off-screen bitmap of the
// picture's size and asks the box to repaint; the box's paint code copies that
// bitmap to the screen. The bitmap is shared under a busy lock: while the worker
// holds it the paint code leaves the frame alone and the worker's next
// invalidation brings the new frame.
#include <windows.h>

#include <atomic>
#include <memory>
#include <span>

#include "frame/owned_handle.h"
#include "pictures/picture.h"

namespace units {

class GifAnimation {
 public:
  // Starts playing `frames` (composed canvases of width x height) into `window`
  // `plays` times through (0: for ever), the bitmap first filled with
  // `background`, which also shows wherever a frame leaves the canvas clear. The
  // frames are borrowed: the caller keeps them unchanged until this object is
  // gone. Nothing when the bitmap, the stop event or the thread cannot be made.
  static std::unique_ptr<GifAnimation> start(HWND window, std::span<const pictures::AnimationFrame> frames, int width,
                                             int height, COLORREF background, uint32_t plays);

  GifAnimation(const GifAnimation&) = delete;
  GifAnimation& operator=(const GifAnimation&) = delete;
  // Tells the worker to stop and waits until it has.
  ~GifAnimation();

  // Copies the current frame into `target`, stretched to `to`. False while the
  // worker is composing the next frame, or before it has composed the first; the
  // caller then leaves `to` as it is.
  bool draw_current(HDC target, const RECT& to);

  // A new background colour, under the frame on show at once and under every
  // later one; playback goes on where it was.
  void set_background(COLORREF background);

 private:
  GifAnimation(HWND window, std::span<const pictures::AnimationFrame> frames, int width, int height,
               COLORREF background, uint32_t plays);

  bool make_frame_bitmap();
  static DWORD WINAPI play(void* self);
  void play_frames();
  void compose(size_t frame);

  HWND window_;
  std::span<const pictures::AnimationFrame> frames_;
  int width_, height_;
  uint32_t plays_;
  std::atomic<COLORREF> background_;
  std::atomic<size_t> shown_{0};  // the frame last composed
  SRWLOCK busy_ = SRWLOCK_INIT;
  bool composed_ = false;  // under busy_: a frame is in the bitmap, not only the background
  frame::OwnedHandle<HBITMAP, frame::DeleteGdiObject> frame_bitmap_;
  frame::OwnedKernelHandle stop_;
  frame::OwnedKernelHandle thread_;
};

}  // namespace units
