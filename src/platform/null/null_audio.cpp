#include "platform/null/null_audio.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "audio/wave.h"

namespace rivoltra {

// A buffer that "plays" for its samples' length of fake time.
class NullSoundBuffer final : public SoundBuffer {
 public:
  NullSoundBuffer(NullAudio& owner, std::string name, PcmFormat format, std::int64_t frames)
      : owner_(owner),
        name_(std::move(name)),
        format_(format),
        frames_(frames),
        number_(owner.nextBufferNumber_++) {
    owner_.buffers_.push_back(this);
  }
  ~NullSoundBuffer() override { std::erase(owner_.buffers_, this); }

  std::unique_ptr<SoundBuffer> Duplicate() override {
    auto copy = std::make_unique<NullSoundBuffer>(owner_, name_, format_, frames_);
    copy->frequency_ = frequency_;
    return copy;
  }

  void PlayFromStart(bool looped) override {
    if (IsPlaying()) Stop();
    playing_ = true;
    looped_ = looped;
    const int rate = frequency_ > 0 ? frequency_ : format_.SampleRate;
    endMicroseconds_ = owner_.clockMicroseconds_ + frames_ * 1'000'000 / rate;
    owner_.events_.push_back(
        {NullAudio::SoundEvent::Kind::Play, name_, looped, number_, owner_.Milliseconds()});
  }

  void Stop() override {
    if (IsPlaying())
      owner_.events_.push_back(
          {NullAudio::SoundEvent::Kind::Stop, name_, false, number_, owner_.Milliseconds()});
    playing_ = false;
  }

  bool IsPlaying() const override {
    return playing_ && (looped_ || owner_.clockMicroseconds_ < endMicroseconds_);
  }
  bool IsLooped() const { return looped_; }

  void SetFrequency(int hertz) override { frequency_ = std::max(0, hertz); }
  void SetPan(int) override {}
  void SetVolume(int) override {}

 private:
  NullAudio& owner_;
  std::string name_;
  PcmFormat format_;
  std::int64_t frames_;
  int number_;
  int frequency_ = 0;
  bool playing_ = false;
  bool looped_ = false;
  std::int64_t endMicroseconds_ = 0;
};

NullAudio::~NullAudio() {
  Finalize();
  for (SoundOutputSubscriber* subscriber : std::vector(subscribers_))
    subscriber->SoundOutputDestroyed();
}

void NullAudio::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  for (SoundOutputSubscriber* subscriber : std::vector(subscribers_))
    subscriber->SoundOutputInitialized();
}

void NullAudio::Finalize() {
  if (!initialized_) return;
  for (SoundOutputSubscriber* subscriber : std::vector(subscribers_))
    subscriber->SoundOutputFinalized();
  initialized_ = false;
}

void NullAudio::AdvanceClock(std::uint32_t milliseconds) {
  clockMicroseconds_ += static_cast<std::int64_t>(milliseconds) * 1000;
  // Whole frames due by now, so that many short steps render exactly as much as one long one.
  const auto due = static_cast<std::uint64_t>(clockMicroseconds_) * kMixRate / 1'000'000;
  std::lock_guard lock(mutex_);
  if (!initialized_) {
    // No device, no music: the time passes without being rendered later in a burst.
    framesRendered_ = due;
    return;
  }
  while (framesRendered_ < due) {
    const auto frames = std::min<std::uint64_t>(due - framesRendered_, scratch_.size() / 2);
    if (renderer_ != nullptr) renderer_->RenderMusic(std::span(scratch_.data(), frames * 2));
    framesRendered_ += frames;
  }
}

std::vector<NullAudio::SoundEvent> NullAudio::TakeEvents() { return std::exchange(events_, {}); }

std::vector<std::string> NullAudio::PlayedNames() const {
  std::vector<std::string> names;
  for (const SoundEvent& event : events_)
    if (event.Type == SoundEvent::Kind::Play) names.push_back(event.Name);
  return names;
}

int NullAudio::PlayingCount() const {
  return static_cast<int>(
      std::count_if(buffers_.begin(), buffers_.end(), [](auto* b) { return b->IsPlaying(); }));
}

void NullAudio::Subscribe(SoundOutputSubscriber& subscriber) {
  if (std::find(subscribers_.begin(), subscribers_.end(), &subscriber) == subscribers_.end())
    subscribers_.push_back(&subscriber);
}

void NullAudio::Unsubscribe(SoundOutputSubscriber& subscriber) {
  std::erase(subscribers_, &subscriber);
}

std::unique_ptr<SoundBuffer> NullAudio::CreateBuffer(std::string_view name,
                                                     std::span<const std::uint8_t> formatBlock,
                                                     std::span<const std::uint8_t> samples) {
  if (!initialized_) return nullptr;
  const std::optional<PcmFormat> format = ReadPcmFormat(formatBlock);
  if (!format) return nullptr;
  const auto frames = static_cast<std::int64_t>(samples.size()) / format->BytesPerFrame();
  return std::make_unique<NullSoundBuffer>(*this, std::string(name), *format, frames);
}

void NullAudio::WaitWhilePlaying(const SoundBuffer& buffer) {
  const auto& nullBuffer = static_cast<const NullSoundBuffer&>(buffer);
  if (nullBuffer.IsLooped()) return;
  while (nullBuffer.IsPlaying()) AdvanceClock(10);
}

void NullAudio::SetMusicRenderer(MusicRenderer* renderer) {
  std::lock_guard lock(mutex_);
  renderer_ = renderer;
}

}  // namespace rivoltra
