#include "units/window_sound.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>

#include <cstring>

#include "frame/system_library.h"

namespace units {
namespace {

using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR sound, HMODULE module, DWORD flags);

constinit frame::SystemFunction<PlaySoundFunction> g_play_sound("winmm.dll", "PlaySoundA");

// False when the system has no winmm.dll to play with.
bool play_sound(LPCSTR sound, DWORD flags) {
  const PlaySoundFunction play = g_play_sound.get();
  return play != nullptr && play(sound, nullptr, flags) != FALSE;
}

}  // namespace

bool is_wave_sound(std::span<const uint8_t> bytes) {
  return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
         std::memcmp(bytes.data() + 8, "WAVE", 4) == 0;
}

bool BackgroundSound::start(std::span<const uint8_t> bytes, uint32_t repeat) {
  stop();
  if (repeat == kSoundSilent || !is_wave_sound(bytes)) return false;
  bytes_.assign(bytes.begin(), bytes.end());
  const DWORD flags = SND_MEMORY | SND_ASYNC | SND_NODEFAULT | (repeat == kSoundLoops ? SND_LOOP : 0);
  playing_ = play_sound(reinterpret_cast<LPCSTR>(bytes_.data()), flags);
  return playing_;
}

// PlaySound reads our copy while it plays: the copy goes only once playback has stopped.
void BackgroundSound::stop() {
  if (playing_) play_sound(nullptr, 0);
  playing_ = false;
  bytes_.clear();
}

}  // namespace units
