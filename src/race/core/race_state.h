#pragma once

#include <array>
#include <cstdint>

namespace rivoltra {

// At most this many track objects exist at once, each in a numbered slot 1..30.
inline constexpr int kSlotCount = 30;
// Track object kinds 1..35; the last, the finish line, is never drawn by chance.
inline constexpr int kKindCount = 35;

// FinishPhase values: the steps of a level's end.
enum FinishPhases : std::int32_t {
  kRacing = 0,
  kFinishLinePlaced = 1,
  kBrakingAfterLine = 2,
  kTimeBonusCount = 3,
  kLevelCompletedBanner = 25,
};

// The plain values of one race that the rules read and write: speed, level, score, lives, the
// clock, the level's end, the bonus flags, the banners' timers and the chance table.
struct RaceState {
  std::int32_t Level = 1;
  // The game's score so far; the name entry puts it into the high-score table.
  std::int32_t Score = 0;
  std::int32_t Lives = 3;
  // Seconds on the level clock.
  std::int32_t TimeLeft = 0;
  // Milliseconds until the next clock step.
  std::int32_t SecondTimer = 1000;
  // Pixels per tick; the road, the objects and the background move down by it. 0 outside races.
  double Speed = 0;
  // Pixels driven in this level.
  double Distance = 0;
  // Play is live: the sprite tree moves and the clocks run only while true.
  bool RaceRunning = false;
  // The car picked on the car-choice screen, 1..4.
  std::int32_t CarChoice = 1;
  bool GunActive = false;
  bool TurboActive = false;
  bool Punctured = false;
  std::int32_t FinishPhase = kRacing;
  // The car crashed and the crash explosion is running.
  bool CrashPending = false;
  // Slot of the last object that blew up on contact; 0 for none.
  std::int32_t CrashSlot = 0;
  // Ticks left of the start banner.
  double StartDelay = 0;
  bool TimeOverShown = false;
  std::int32_t TimeOverTimer = 0;
  bool GameOverShown = false;
  std::int32_t GameOverTimer = 0;
  std::int32_t LevelDoneTimer = 0;
  bool Paused = false;
  bool FinishPrompt = false;
  // Input states of the previous tick, so the keys act on the press and not while held.
  bool PauseKeyWasDown = false;
  bool FinishKeyWasDown = false;
  bool AccelKeyWasDown = false;
  // Chance weight of kinds 1..34 for this level (index 0 unused).
  std::array<double, kKindCount> SpawnChance{};
  // 0: the off-road strip is on the left, which every race uses.
  std::int32_t GroundSide = 0;
};

}  // namespace rivoltra
