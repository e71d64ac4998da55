#include "platform/sdl/sdl_audio.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <optional>

#include "audio/wave.h"

namespace rivoltra {

namespace {

constexpr int kChunkFrames = 1024;
// Device ids are small slot numbers; the mixer keeps its own id private, so it is found by
// looking at which slot came alive while the mixer opened its device.
constexpr SDL_AudioDeviceID kDeviceIdsToProbe = 32;

// The samples of one wave, shared by a master and its copies.
struct WaveSource {
  PcmFormat Format;
  std::vector<std::uint8_t> Samples;
};

// A mixer chunk converted to the device format at one sample rate.
class Chunk {
 public:
  Chunk(Mix_Chunk* chunk, int rate) : chunk_(chunk), rate_(rate) {}
  ~Chunk() { Mix_FreeChunk(chunk_); }
  Chunk(const Chunk&) = delete;
  Chunk& operator=(const Chunk&) = delete;

  Mix_Chunk* Get() const { return chunk_; }
  int Rate() const { return rate_; }

 private:
  Mix_Chunk* chunk_;
  int rate_;
};

std::shared_ptr<Chunk> MakeChunk(const WaveSource& source, int rate) {
  PcmFormat format = source.Format;
  format.SampleRate = rate;
  const std::vector<std::uint8_t> image = MakePcmWaveImage(format, source.Samples);
  if (image.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
  SDL_RWops* stream = SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()));
  if (stream == nullptr) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 1);
  if (chunk == nullptr) return nullptr;
  return std::make_shared<Chunk>(chunk, rate);
}

// Hundredths of a decibel of attenuation as a linear gain, 0 to 1.
double GainOf(int hundredthsOfDecibel) {
  if (hundredthsOfDecibel >= 0) return 1.0;
  if (hundredthsOfDecibel <= -10000) return 0.0;
  return std::pow(10.0, hundredthsOfDecibel / 2000.0);
}

Uint8 PanLevel(double gain) { return static_cast<Uint8>(std::lround(gain * 255.0)); }

class SdlSoundBuffer final : public SoundBuffer {
 public:
  SdlSoundBuffer(SdlAudio& owner, std::shared_ptr<const WaveSource> source,
                 std::shared_ptr<Chunk> chunk, int channel)
      : owner_(owner), source_(std::move(source)), chunk_(std::move(chunk)), channel_(channel) {
    ApplyPan();
    ApplyVolume();
  }

  ~SdlSoundBuffer() override {
    Mix_HaltChannel(channel_);
    // The channel goes back to the pool at full level and centred.
    Mix_SetPanning(channel_, 255, 255);
    Mix_Volume(channel_, MIX_MAX_VOLUME);
    owner_.ReleaseChannel(channel_);
  }

  std::unique_ptr<SoundBuffer> Duplicate() override {
    const int channel = owner_.AcquireChannel();
    if (channel < 0) return nullptr;
    auto copy = std::make_unique<SdlSoundBuffer>(owner_, source_, chunk_, channel);
    copy->pan_ = pan_;
    copy->volume_ = volume_;
    copy->ApplyPan();
    copy->ApplyVolume();
    return copy;
  }

  void PlayFromStart(bool looped) override {
    Mix_HaltChannel(channel_);
    Mix_PlayChannel(channel_, chunk_->Get(), looped ? -1 : 0);
  }

  void Stop() override { Mix_HaltChannel(channel_); }

  bool IsPlaying() const override { return Mix_Playing(channel_) != 0; }

  // A new rate makes a new chunk; it is heard from the next start.
  void SetFrequency(int hertz) override {
    const int rate = hertz > 0 ? hertz : source_->Format.SampleRate;
    if (rate == chunk_->Rate()) return;
    if (std::shared_ptr<Chunk> chunk = MakeChunk(*source_, rate)) {
      Mix_HaltChannel(channel_);
      chunk_ = std::move(chunk);
    }
  }

  void SetPan(int pan) override {
    pan_ = pan;
    ApplyPan();
  }

  void SetVolume(int volume) override {
    volume_ = volume;
    ApplyVolume();
  }

 private:
  void ApplyPan() {
    Mix_SetPanning(channel_, PanLevel(pan_ > 0 ? GainOf(-pan_) : 1.0),
                   PanLevel(pan_ < 0 ? GainOf(pan_) : 1.0));
  }

  void ApplyVolume() {
    Mix_Volume(channel_, static_cast<int>(std::lround(GainOf(volume_) * MIX_MAX_VOLUME)));
  }

  SdlAudio& owner_;
  std::shared_ptr<const WaveSource> source_;
  std::shared_ptr<Chunk> chunk_;
  int channel_;
  int pan_ = 0;
  int volume_ = 0;
};

}  // namespace

SdlAudio::~SdlAudio() {
  Finalize();
  for (SoundOutputSubscriber* subscriber : std::vector(subscribers_))
    subscriber->SoundOutputDestroyed();
}

void SdlAudio::Initialize() {
  if (initialized_) return;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;

  std::array<bool, kDeviceIdsToProbe + 1> openBefore{};
  for (SDL_AudioDeviceID id = 1; id <= kDeviceIdsToProbe; ++id)
    openBefore[id] = SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED;
  // No format changes allowed: the device converts, so the music hook always sees 16-bit
  // stereo at kMixRate.
  if (Mix_OpenAudioDevice(kMixRate, AUDIO_S16SYS, 2, kChunkFrames, nullptr, 0) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  for (SDL_AudioDeviceID id = 1; id <= kDeviceIdsToProbe && device_ == 0; ++id)
    if (!openBefore[id] && SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) device_ = id;
  if (device_ == 0) {
    // Without the device lock the music could not be changed safely: run silently instead.
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }

  channelCount_ = Mix_AllocateChannels(-1);
  freeChannels_.clear();
  for (int channel = channelCount_ - 1; channel >= 0; --channel) freeChannels_.push_back(channel);
  Mix_HookMusic(&SdlAudio::MusicHook, this);
  initialized_ = true;
  for (SoundOutputSubscriber* subscriber : std::vector(subscribers_))
    subscriber->SoundOutputInitialized();
}

void SdlAudio::Finalize() {
  if (!initialized_) return;
  for (SoundOutputSubscriber* subscriber : std::vector(subscribers_))
    subscriber->SoundOutputFinalized();
  Mix_HookMusic(nullptr, nullptr);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  initialized_ = false;
  device_ = 0;
  channelCount_ = 0;
  freeChannels_.clear();
}

void SdlAudio::Subscribe(SoundOutputSubscriber& subscriber) {
  if (std::find(subscribers_.begin(), subscribers_.end(), &subscriber) == subscribers_.end())
    subscribers_.push_back(&subscriber);
}

void SdlAudio::Unsubscribe(SoundOutputSubscriber& subscriber) {
  std::erase(subscribers_, &subscriber);
}

std::unique_ptr<SoundBuffer> SdlAudio::CreateBuffer(std::string_view /*name*/,
                                                    std::span<const std::uint8_t> formatBlock,
                                                    std::span<const std::uint8_t> samples) {
  if (!initialized_) return nullptr;
  const std::optional<PcmFormat> format = ReadPcmFormat(formatBlock);
  if (!format) return nullptr;
  const std::size_t wholeFrames =
      samples.size() / static_cast<std::size_t>(format->BytesPerFrame());
  if (wholeFrames == 0) return nullptr;
  auto source = std::make_shared<WaveSource>(WaveSource{
      *format,
      std::vector<std::uint8_t>(
          samples.begin(),
          samples.begin() + static_cast<std::ptrdiff_t>(
                                wholeFrames * static_cast<std::size_t>(format->BytesPerFrame())))});
  std::shared_ptr<Chunk> chunk = MakeChunk(*source, format->SampleRate);
  if (!chunk) return nullptr;
  const int channel = AcquireChannel();
  if (channel < 0) return nullptr;
  return std::make_unique<SdlSoundBuffer>(*this, std::move(source), std::move(chunk), channel);
}

void SdlAudio::WaitWhilePlaying(const SoundBuffer& buffer) {
  while (buffer.IsPlaying()) SDL_Delay(10);
}

void SdlAudio::SetMusicRenderer(MusicRenderer* renderer) {
  LockAudio();
  renderer_ = renderer;
  UnlockAudio();
}

void SdlAudio::LockAudio() {
  if (device_ != 0) SDL_LockAudioDevice(device_);
}

void SdlAudio::UnlockAudio() {
  if (device_ != 0) SDL_UnlockAudioDevice(device_);
}

int SdlAudio::AcquireChannel() {
  if (freeChannels_.empty()) {
    const int wanted = std::max(16, channelCount_ * 2);
    const int granted = Mix_AllocateChannels(wanted);
    if (granted <= channelCount_) return -1;
    for (int channel = granted - 1; channel >= channelCount_; --channel)
      freeChannels_.push_back(channel);
    channelCount_ = granted;
  }
  const int channel = freeChannels_.back();
  freeChannels_.pop_back();
  return channel;
}

void SdlAudio::ReleaseChannel(int channel) {
  if (initialized_) freeChannels_.push_back(channel);
}

void SDLCALL SdlAudio::MusicHook(void* self, Uint8* stream, int length) {
  auto* audio = static_cast<SdlAudio*>(self);
  if (audio->renderer_ == nullptr || length <= 0) return;  // the mixer has silenced the stream
  const auto samples = static_cast<std::size_t>(length) / (2 * sizeof(std::int16_t)) * 2;
  audio->renderer_->RenderMusic(std::span(reinterpret_cast<std::int16_t*>(stream), samples));
}

}  // namespace rivoltra
