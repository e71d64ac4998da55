#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "audio/audio_output.h"
#include "audio/sound_archive.h"
#include "audio/wave.h"
#include "engine/name_index.h"

namespace rivoltra {

// A buffer volume that is silence, in hundredths of a decibel.
inline constexpr int kSilentVolume = -10000;

class SoundCollection;
class SoundList;

// Failures of a sound list: an unknown name, an index out of range.
class SoundListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One named wave. While its list is bound to an initialised output it owns a master buffer made
// from the wave and the copies it plays non-looped sounds on.
class SoundItem {
 public:
  SoundItem(SoundCollection& collection, std::string name, bool looped, int maxPlayingCount,
            WaveData wave);
  ~SoundItem();
  SoundItem(const SoundItem&) = delete;
  SoundItem& operator=(const SoundItem&) = delete;

  const std::string& Name() const { return name_; }
  // A new name moves the item to the head of its new bucket, so it wins over older duplicates.
  void SetName(std::string name);
  bool Looped() const { return looped_; }
  // Stops the sound first.
  void SetLooped(bool looped);
  int MaxPlayingCount() const { return maxPlayingCount_; }
  // Negative values count as 0 (no limit). Frees every copy while the item is initialised.
  void SetMaxPlayingCount(int count);
  const WaveData& Wave() const { return wave_; }

  // Applied to the master buffer at once and to a copy each time it starts.
  int Frequency() const { return frequency_; }
  void SetFrequency(int hertz);
  int Pan() const { return pan_; }
  void SetPan(int pan);
  int Volume() const { return volume_; }
  void SetVolume(int volume);

  // A looped item restarts its master from position 0. A non-looped item plays on its first
  // idle copy, else on a new copy while under MaxPlayingCount, else restarts its oldest copy.
  // Wait blocks until that copy has finished. Does nothing while not initialised.
  void Play(bool wait);
  // Stops the master and every copy; the copies stay allocated.
  void Stop();

  bool Initialized() const { return initialized_; }
  // The master buffer; null while not initialised or when the wave has no samples.
  const SoundBuffer* Master() const { return master_.get(); }
  // The copies, oldest (re)start first.
  std::vector<const SoundBuffer*> Copies() const;

  // Sets the volume again on the master and every copy (after the list's master volume changed).
  void ReapplyVolume();
  // Makes the master buffer (the list calls these when its output comes and goes).
  void Initialize();
  void Finalize();

 private:
  void ApplySettings(SoundBuffer& buffer) const;
  // The item's volume lowered by the list's master volume.
  int EffectiveVolume() const;

  SoundCollection& collection_;
  std::string name_;
  bool looped_;
  int maxPlayingCount_;
  WaveData wave_;
  int frequency_ = 0;
  int pan_ = 0;
  int volume_ = 0;
  bool initialized_ = false;
  std::unique_ptr<SoundBuffer> master_;
  std::vector<std::unique_ptr<SoundBuffer>> copies_;
};

// The items of one sound list in file order, with the shared case-insensitive name index.
class SoundCollection {
 public:
  explicit SoundCollection(SoundList& owner);
  ~SoundCollection();
  SoundCollection(const SoundCollection&) = delete;
  SoundCollection& operator=(const SoundCollection&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Throws SoundListError "Index of the list exceeds the range. (%d)" out of range.
  SoundItem& Items(int index) const;
  // Appends an item; it is initialised at once when the list is bound to an initialised output.
  SoundItem& Add(std::string name, bool looped, int maxPlayingCount, WaveData wave);
  void Clear();

  // Replaces the items with the archive's, in file order. When the file cannot be read the
  // error propagates and the items stay as they were.
  void LoadArchive(const std::string& fileName);
  // Same, from archive items already read; an empty wave image is a wave without samples, any
  // other that is no RIFF image throws FormatError.
  void Assign(const std::vector<SoundItemData>& items);

  // The most recently named item whose name equals name ignoring case, or null.
  SoundItem* Find(std::string_view name) const;
  // Throws SoundListError "Wave '%s' not found".
  SoundItem& ItemByName(std::string_view name) const;

  bool Initialized() const { return initialized_; }
  void Initialize();
  void Finalize();

 private:
  friend class SoundItem;

  SoundList& owner_;
  std::vector<std::unique_ptr<SoundItem>> items_;
  NameIndex<SoundItem> index_;
  bool initialized_ = false;
};

// A sound list bound to an output: its items get their buffers when the output is initialised
// and lose them when it is finalised.
class SoundList final : public SoundOutputSubscriber {
 public:
  SoundList();
  ~SoundList() override;
  SoundList(const SoundList&) = delete;
  SoundList& operator=(const SoundList&) = delete;

  SoundCollection& Items() { return items_; }
  const SoundCollection& Items() const { return items_; }
  SoundItem& ItemByName(std::string_view name) const { return items_.ItemByName(name); }

  // The player's effects volume, percent 0 to 100, on top of every item's own volume: 50 is
  // half the amplitude, 0 silence. Playing sounds follow at once.
  int MasterVolume() const { return masterVolume_; }
  void SetMasterVolume(int percent);
  // The master volume as attenuation in hundredths of a decibel (0 at 100 %, -10000 at 0 %).
  int MasterAttenuation() const { return masterAttenuation_; }

  // Subscribes to the output (null unbinds); binds at once when it is already initialised.
  void SetSoundOutput(AudioOutput* output);
  AudioOutput* SoundOutput() const { return output_; }
  bool OutputReady() const { return output_ != nullptr && output_->IsInitialized(); }

  void SoundOutputInitialized() override;
  void SoundOutputFinalized() override;
  void SoundOutputDestroyed() override;

 private:
  SoundCollection items_;
  AudioOutput* output_ = nullptr;
  int masterVolume_ = 100;
  int masterAttenuation_ = 0;
};

// A volume in percent of full amplitude as hundredths of a decibel, the buffers' unit:
// 100 is 0, 50 about -602, 0 and below -10000 (silent).
int AttenuationOfPercent(int percent);

// The game's way to play and stop effects: with SoundEnabled other than 1 they do nothing at
// all, not even the name lookup. PlaySound cuts the sound's earlier copies and loop off first.
void PlaySound(std::uint8_t soundEnabled, SoundList& soundList, std::string_view name,
               bool wait = false);
void StopSound(std::uint8_t soundEnabled, SoundList& soundList, std::string_view name);

}  // namespace rivoltra
