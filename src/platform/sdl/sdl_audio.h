#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "audio/audio_output.h"

namespace rivoltra {

// The sound device through the mixer library: every sound buffer is one mixer channel playing a
// chunk made from the wave's RIFF image, and the music renderer fills the mixer's music hook.
// Without a usable device the output stays uninitialised and the game runs silently.
class SdlAudio final : public AudioOutput {
 public:
  SdlAudio() = default;
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the default device at kMixRate, 16-bit stereo, and tells the subscribers. Any failure
  // of the sound layer leaves the output uninitialised, without a message.
  void Initialize();
  // Tells the subscribers (who free their buffers), then closes the device.
  void Finalize();

  bool IsInitialized() const override { return initialized_; }
  void Subscribe(SoundOutputSubscriber& subscriber) override;
  void Unsubscribe(SoundOutputSubscriber& subscriber) override;
  std::unique_ptr<SoundBuffer> CreateBuffer(std::string_view name,
                                            std::span<const std::uint8_t> formatBlock,
                                            std::span<const std::uint8_t> samples) override;
  void WaitWhilePlaying(const SoundBuffer& buffer) override;
  void SetMusicRenderer(MusicRenderer* renderer) override;
  void LockAudio() override;
  void UnlockAudio() override;

  // Mixer channels, one per live buffer; freed channels are reused.
  int AcquireChannel();
  void ReleaseChannel(int channel);

 private:
  static void SDLCALL MusicHook(void* self, Uint8* stream, int length);

  bool initialized_ = false;
  SDL_AudioDeviceID device_ = 0;
  std::vector<SoundOutputSubscriber*> subscribers_;
  // Read by the music hook, which runs with the device lock held.
  MusicRenderer* renderer_ = nullptr;
  int channelCount_ = 0;
  std::vector<int> freeChannels_;
};

}  // namespace rivoltra
