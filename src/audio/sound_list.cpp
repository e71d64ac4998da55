#include "audio/sound_list.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rivoltra {

// ---------------------------------------------------------------------------------------------
// SoundItem

SoundItem::SoundItem(SoundCollection& collection, std::string name, bool looped,
                     int maxPlayingCount, WaveData wave)
    : collection_(collection),
      name_(std::move(name)),
      looped_(looped),
      maxPlayingCount_(std::max(0, maxPlayingCount)),
      wave_(std::move(wave)) {
  collection_.index_.Add(*this);
}

SoundItem::~SoundItem() {
  Finalize();
  collection_.index_.Remove(*this);
}

void SoundItem::SetName(std::string name) {
  collection_.index_.Remove(*this);
  name_ = std::move(name);
  collection_.index_.Add(*this);
}

void SoundItem::SetLooped(bool looped) {
  Stop();
  looped_ = looped;
}

void SoundItem::SetMaxPlayingCount(int count) {
  maxPlayingCount_ = std::max(0, count);
  if (initialized_) copies_.clear();
}

void SoundItem::SetFrequency(int hertz) {
  frequency_ = hertz;
  if (master_) master_->SetFrequency(frequency_);
}

void SoundItem::SetPan(int pan) {
  pan_ = pan;
  if (master_) master_->SetPan(pan_);
}

void SoundItem::SetVolume(int volume) {
  volume_ = volume;
  if (master_) master_->SetVolume(EffectiveVolume());
}

int SoundItem::EffectiveVolume() const {
  const int volume = volume_ + collection_.owner_.MasterAttenuation();
  return volume < kSilentVolume ? kSilentVolume : volume;
}

void SoundItem::ReapplyVolume() {
  if (master_) master_->SetVolume(EffectiveVolume());
  for (auto& copy : copies_) copy->SetVolume(EffectiveVolume());
}

void SoundItem::ApplySettings(SoundBuffer& buffer) const {
  buffer.SetFrequency(frequency_);
  buffer.SetPan(pan_);
  buffer.SetVolume(EffectiveVolume());
}

void SoundItem::Play(bool wait) {
  if (!initialized_ || !master_) return;
  if (looped_) {
    master_->Stop();
    master_->PlayFromStart(true);
    return;
  }

  auto chosen = std::find_if(copies_.begin(), copies_.end(),
                             [](const auto& copy) { return !copy->IsPlaying(); });
  if (chosen == copies_.end()) {
    if (maxPlayingCount_ == 0 || static_cast<int>(copies_.size()) < maxPlayingCount_) {
      std::unique_ptr<SoundBuffer> copy = master_->Duplicate();
      if (!copy) return;
      copies_.push_back(std::move(copy));
      chosen = copies_.end() - 1;
    } else {
      chosen = copies_.begin();
    }
  }
  // Every start moves its copy to the end, so the front is always the copy started longest ago
  // (an idle copy reused in place would otherwise be cut off first by the next overflow).
  std::rotate(chosen, chosen + 1, copies_.end());
  SoundBuffer& copy = *copies_.back();

  copy.Stop();
  ApplySettings(copy);
  copy.PlayFromStart(false);
  if (wait) collection_.owner_.SoundOutput()->WaitWhilePlaying(copy);
}

void SoundItem::Stop() {
  if (!initialized_) return;
  if (master_) master_->Stop();
  for (auto& copy : copies_) copy->Stop();
}

std::vector<const SoundBuffer*> SoundItem::Copies() const {
  std::vector<const SoundBuffer*> copies;
  for (const auto& copy : copies_) copies.push_back(copy.get());
  return copies;
}

void SoundItem::Initialize() {
  Finalize();
  AudioOutput* output = collection_.owner_.SoundOutput();
  if (output == nullptr || !output->IsInitialized()) return;
  if (!wave_.Samples.empty()) {
    // A format the output cannot play leaves the item silent, like a wave without samples.
    master_ = output->CreateBuffer(name_, wave_.FormatBlock, wave_.Samples);
    if (master_) ApplySettings(*master_);
  }
  initialized_ = true;
}

void SoundItem::Finalize() {
  copies_.clear();
  master_.reset();
  initialized_ = false;
}

// ---------------------------------------------------------------------------------------------
// SoundCollection

SoundCollection::SoundCollection(SoundList& owner) : owner_(owner) {}

SoundCollection::~SoundCollection() { Clear(); }

SoundItem& SoundCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw SoundListError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
  return *items_[static_cast<std::size_t>(index)];
}

SoundItem& SoundCollection::Add(std::string name, bool looped, int maxPlayingCount, WaveData wave) {
  items_.push_back(std::make_unique<SoundItem>(*this, std::move(name), looped, maxPlayingCount,
                                               std::move(wave)));
  SoundItem& item = *items_.back();
  if (initialized_) item.Initialize();
  return item;
}

void SoundCollection::Clear() {
  // Newest first, so every removal finds its item at the head of its chain.
  while (!items_.empty()) items_.pop_back();
}

void SoundCollection::LoadArchive(const std::string& fileName) {
  Assign(ReadSoundArchive(fileName));
}

void SoundCollection::Assign(const std::vector<SoundItemData>& items) {
  std::vector<WaveData> waves;
  waves.reserve(items.size());
  for (const SoundItemData& item : items)
    waves.push_back(item.Wave.empty() ? WaveData{} : ParseWave(item.Wave));
  Clear();
  for (std::size_t i = 0; i < items.size(); ++i)
    Add(items[i].Name, items[i].Looped, items[i].MaxPlayingCount, std::move(waves[i]));
}

SoundItem* SoundCollection::Find(std::string_view name) const { return index_.Find(name); }

SoundItem& SoundCollection::ItemByName(std::string_view name) const {
  SoundItem* item = Find(name);
  if (item == nullptr) throw SoundListError("Wave '" + std::string(name) + "' not found");
  return *item;
}

void SoundCollection::Initialize() {
  initialized_ = true;
  for (auto& item : items_) item->Initialize();
}

void SoundCollection::Finalize() {
  for (auto& item : items_) item->Finalize();
  initialized_ = false;
}

// ---------------------------------------------------------------------------------------------
// SoundList

SoundList::SoundList() : items_(*this) {}

SoundList::~SoundList() { SetSoundOutput(nullptr); }

int AttenuationOfPercent(int percent) {
  if (percent <= 0) return kSilentVolume;
  if (percent >= 100) return 0;
  const int volume = static_cast<int>(std::lround(2000.0 * std::log10(percent / 100.0)));
  return volume < kSilentVolume ? kSilentVolume : volume;
}

void SoundList::SetMasterVolume(int percent) {
  masterVolume_ = std::clamp(percent, 0, 100);
  masterAttenuation_ = AttenuationOfPercent(masterVolume_);
  for (int index = 0; index < items_.Count(); ++index) items_.Items(index).ReapplyVolume();
}

void SoundList::SetSoundOutput(AudioOutput* output) {
  if (output == output_) return;
  if (output_ != nullptr) {
    items_.Finalize();
    output_->Unsubscribe(*this);
  }
  output_ = output;
  if (output_ != nullptr) {
    output_->Subscribe(*this);
    if (output_->IsInitialized()) items_.Initialize();
  }
}

void SoundList::SoundOutputInitialized() { items_.Initialize(); }

void SoundList::SoundOutputFinalized() { items_.Finalize(); }

void SoundList::SoundOutputDestroyed() {
  items_.Finalize();
  output_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Game functions

void PlaySound(std::uint8_t soundEnabled, SoundList& soundList, std::string_view name, bool wait) {
  if (soundEnabled != 1) return;
  soundList.ItemByName(name).Stop();
  soundList.ItemByName(name).Play(wait);
}

void StopSound(std::uint8_t soundEnabled, SoundList& soundList, std::string_view name) {
  if (soundEnabled != 1) return;
  soundList.ItemByName(name).Stop();
}

}  // namespace rivoltra
