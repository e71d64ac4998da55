#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace rivoltra {

// Both backends mix at this rate, in interleaved signed 16-bit stereo; music is rendered for it.
inline constexpr int kMixRate = 44100;

// One playable copy of a wave. The sound list keeps a master per item and duplicates it for
// sounds that overlap; a buffer never outlives the output that made it (the list frees them all
// when the output is finalised).
class SoundBuffer {
 public:
  virtual ~SoundBuffer() = default;

  // An independent buffer over the same samples with the same frequency, pan and volume; null
  // when the output cannot make one.
  virtual std::unique_ptr<SoundBuffer> Duplicate() = 0;
  // Stops, rewinds to position 0 and starts; a looped buffer plays until stopped.
  virtual void PlayFromStart(bool looped) = 0;
  // Stops without rewinding; stopping a stopped buffer does nothing.
  virtual void Stop() = 0;
  virtual bool IsPlaying() const = 0;

  // Sample rate in Hz; 0 plays at the wave's own rate.
  virtual void SetFrequency(int hertz) = 0;
  // Hundredths of a decibel of attenuation: below 0 the right channel is lowered, above 0 the
  // left; -10000 and 10000 silence that side. 0 is centre.
  virtual void SetPan(int pan) = 0;
  // Hundredths of a decibel, -10000 (silent) to 0 (full level).
  virtual void SetVolume(int volume) = 0;
};

// What an output tells the sound lists bound to it. Subscribers must not subscribe or
// unsubscribe anyone from inside a notice.
class SoundOutputSubscriber {
 public:
  virtual ~SoundOutputSubscriber() = default;
  // The device is open: buffers can be made.
  virtual void SoundOutputInitialized() = 0;
  // The device is about to close: every buffer must be freed now.
  virtual void SoundOutputFinalized() = 0;
  // The output itself is going away; forget it (never unsubscribe from inside this).
  virtual void SoundOutputDestroyed() = 0;
};

// Fills the music part of the mix. Called on the audio side with the output's lock held, so it
// must not allocate, block or take other locks.
class MusicRenderer {
 public:
  virtual ~MusicRenderer() = default;
  // Writes interleaved stereo frames at kMixRate over the whole span (silence when idle).
  virtual void RenderMusic(std::span<std::int16_t> stereoFrames) = 0;
};

// The machine's sound: effects as buffers, music through one renderer.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Whether a device is open. Without one the game runs silently.
  virtual bool IsInitialized() const = 0;
  // Adds a subscriber once; unknown subscribers are ignored by Unsubscribe.
  virtual void Subscribe(SoundOutputSubscriber& subscriber) = 0;
  virtual void Unsubscribe(SoundOutputSubscriber& subscriber) = 0;

  // A stopped buffer of the samples in the given format block; null while the output is not
  // initialised or when it cannot play that format. The name only labels the buffer in the
  // output's own records.
  virtual std::unique_ptr<SoundBuffer> CreateBuffer(std::string_view name,
                                                    std::span<const std::uint8_t> formatBlock,
                                                    std::span<const std::uint8_t> samples) = 0;
  // Returns once the buffer has stopped playing, checking every 10 ms of the output's clock.
  virtual void WaitWhilePlaying(const SoundBuffer& buffer) = 0;

  // The renderer that fills the music part of the mix, or null for none. Takes the lock itself.
  virtual void SetMusicRenderer(MusicRenderer* renderer) = 0;
  // The lock the audio side holds while it renders music. Whoever changes what the renderer
  // reads from another thread holds it, briefly. Not recursive.
  virtual void LockAudio() = 0;
  virtual void UnlockAudio() = 0;
};

// Holds an output's audio lock for one scope.
class AudioLock {
 public:
  explicit AudioLock(AudioOutput& output) : output_(output) { output_.LockAudio(); }
  ~AudioLock() { output_.UnlockAudio(); }
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;

 private:
  AudioOutput& output_;
};

}  // namespace rivoltra
