#pragma once

// The game's sound effects, synthesised from recipes: one entry per name the game plays.

#include <cstdint>
#include <string>
#include <vector>

namespace rivoltra::datagen {

constexpr std::uint32_t kEffectSampleRate = 22050;

struct SoundEffect {
  std::string Name;
  bool Looped = false;
  // How many copies may overlap; a looped sound only ever plays once.
  int MaxPlayingCount = 1;
  std::vector<std::int16_t> Samples;  // mono, 16-bit, kEffectSampleRate
};

// Every effect of the catalogue, in a fixed order, identical on every run.
std::vector<SoundEffect> BuildSoundEffects();

}  // namespace rivoltra::datagen
