#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/audio_output.h"

namespace rivoltra {

class NullSoundBuffer;

// The silent output of the scripted runner and the tests. It has its own fake clock: buffers
// play for exactly their length of fake time, and the music renderer is run for every
// millisecond the clock advances, so a song's order position moves as it would on a device.
// Every start and every stop of a sound that was playing is recorded, in order.
class NullAudio final : public AudioOutput {
 public:
  struct SoundEvent {
    enum class Kind { Play, Stop };
    Kind Type = Kind::Play;
    std::string Name;
    bool Looped = false;    // for Play
    int Buffer = 0;         // which buffer, numbered from 1 in order of creation
    std::int64_t Time = 0;  // fake milliseconds
    bool operator==(const SoundEvent&) const = default;
  };

  NullAudio() = default;
  ~NullAudio() override;
  NullAudio(const NullAudio&) = delete;
  NullAudio& operator=(const NullAudio&) = delete;

  // Opens the pretend device and tells the subscribers; Finalize closes it again.
  void Initialize();
  void Finalize();

  // Moves the fake clock on, ending the buffers whose time ran out and rendering the music
  // for that span (into nothing).
  void AdvanceClock(std::uint32_t milliseconds);
  std::int64_t Milliseconds() const { return clockMicroseconds_ / 1000; }
  std::uint64_t MusicFramesRendered() const { return framesRendered_; }

  const std::vector<SoundEvent>& Events() const { return events_; }
  std::vector<SoundEvent> TakeEvents();
  // The names started so far, in order.
  std::vector<std::string> PlayedNames() const;
  // How many buffers are playing now.
  int PlayingCount() const;

  bool IsInitialized() const override { return initialized_; }
  void Subscribe(SoundOutputSubscriber& subscriber) override;
  void Unsubscribe(SoundOutputSubscriber& subscriber) override;
  std::unique_ptr<SoundBuffer> CreateBuffer(std::string_view name,
                                            std::span<const std::uint8_t> formatBlock,
                                            std::span<const std::uint8_t> samples) override;
  // Advances the fake clock in 10 ms steps until the buffer has ended; a looped buffer never
  // ends on its own, so for one this returns at once instead of hanging the only thread.
  void WaitWhilePlaying(const SoundBuffer& buffer) override;
  void SetMusicRenderer(MusicRenderer* renderer) override;
  void LockAudio() override { mutex_.lock(); }
  void UnlockAudio() override { mutex_.unlock(); }

 private:
  friend class NullSoundBuffer;

  bool initialized_ = false;
  std::vector<SoundOutputSubscriber*> subscribers_;
  std::vector<NullSoundBuffer*> buffers_;
  int nextBufferNumber_ = 1;
  std::vector<SoundEvent> events_;

  std::int64_t clockMicroseconds_ = 0;
  std::uint64_t framesRendered_ = 0;
  std::mutex mutex_;
  MusicRenderer* renderer_ = nullptr;
  std::array<std::int16_t, std::size_t{2} * 1024> scratch_{};
};

}  // namespace rivoltra
