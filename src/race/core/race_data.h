#pragma once

#include <array>
#include <cstdint>

#include "race/core/race_state.h"

namespace rivoltra {

// Cars 1..10: 1..4 can be chosen, the rest serve as traffic pictures.
inline constexpr int kCarCount = 10;

// What the rules read of one picture: its box and how many frames its animation has.
struct PictureSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t FrameCount = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// Everything the race rules need from the loaded pictures and the frame timer: sizes decide
// placement and contact, frame counts decide when hit animations and explosions end. The game
// fills it from its race pictures; tests fill it from a small table.
struct RaceData {
  // The frame timer's interval in milliseconds; every race timer counts in steps of it.
  std::int32_t IntervalMs = 0;
  // Car1..Car10 by number (index 0 unused).
  std::array<PictureSize, kCarCount + 1> Cars{};
  // The pictures of kinds 1..35 (index 0 unused).
  std::array<PictureSize, kKindCount + 1> Kinds{};
  // Walls hit or shot, and the crash over the car and a traffic car hit.
  PictureSize ExplosionSmall;
  PictureSize ExplosionBig;
  friend bool operator==(const RaceData&, const RaceData&) = default;
};

// Levels whose length, time and chance table go into the fingerprint.
inline constexpr std::int32_t kFingerprintLevels = 120;

// CRC-32 of a little-endian serialisation of every value of the data and of the tables the
// rules use (cars, levels 1..kFingerprintLevels, kinds and their chance weights). A recorded race
// keeps it, so a race recorded with other pictures or other rules is refused.
std::uint32_t RaceDataFingerprint(const RaceData& data);

}  // namespace rivoltra
