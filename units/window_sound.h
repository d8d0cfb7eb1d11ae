#pragma once
// A window's background sound: started, stopped and repeated by the window's rules.
#include <cstdint>
#include <span>
#include <vector>

namespace units {

// The repeat choice of the sound property.
enum SoundRepeat : uint32_t { kSoundLoops = 0, kSoundOnce = 1, kSoundSilent = 2 };

class BackgroundSound {
 public:
  BackgroundSound() = default;
  BackgroundSound(const BackgroundSound&) = delete;
  BackgroundSound& operator=(const BackgroundSound&) = delete;
  ~BackgroundSound() { stop(); }

  // Stops what plays and starts `bytes` (RIFF/WAVE) looped or once, from a copy of
  // its own so the caller's bytes may change meanwhile. False when nothing started:
  // no bytes, repeat kSoundSilent, a format other than WAVE (MIDI is not played), or
  // no wave-output device.
  bool start(std::span<const uint8_t> bytes, uint32_t repeat);
  void stop();
  bool playing() const { return playing_; }

 private:
  std::vector<uint8_t> bytes_;
  bool playing_ = false;
};

// RIFF....WAVE: the only form the window plays.
bool is_wave_sound(std::span<const uint8_t> bytes);

}  // namespace units
