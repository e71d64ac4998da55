// The "sounds" generator: synthesises every effect and writes Data/Res/Sounds.sfx.
#include <filesystem>

#include "audio/sound_archive.h"
#include "audio/wave.h"
#include "generator_registry.h"
#include "sounds/effects.h"

namespace rivoltra::datagen {

namespace {

void WriteSounds(const std::filesystem::path& dataFolder) {
  const PcmFormat format{static_cast<int>(kEffectSampleRate), 1, 16};
  std::vector<SoundItemData> items;
  for (const SoundEffect& effect : BuildSoundEffects()) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(effect.Samples.size() * 2);
    for (std::int16_t sample : effect.Samples) {
      const auto value = static_cast<std::uint16_t>(sample);
      bytes.push_back(static_cast<std::uint8_t>(value));
      bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    items.push_back(SoundItemData{effect.Name, effect.Looped, effect.MaxPlayingCount,
                                  MakePcmWaveImage(format, bytes)});
  }
  const std::filesystem::path folder = dataFolder / "Res";
  std::filesystem::create_directories(folder);
  WriteSoundArchive((folder / "Sounds.sfx").string(), items);
}

const RegisterGenerator kSounds("sounds", WriteSounds);

}  // namespace

}  // namespace rivoltra::datagen
