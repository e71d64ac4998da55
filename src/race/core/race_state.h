#pragma once

#include <array>
#include <cstdint>

#include "engine/random.h"
#include "race/core/car_motion.h"
#include "race/core/level_end_phase.h"
#include "race/core/race_events.h"
#include "race/core/track_kinds.h"

namespace rivoltra {

// At most this many track objects exist at once, each in a numbered slot 1..30.
inline constexpr int kSlotCount = 30;
// Track object kinds 1..35; the last, the finish line, is never drawn by chance.
inline constexpr int kKindCount = 35;

// A frame animation as the sprites run it: the frame shown is the integer part of Pos.
struct Animation {
  std::int32_t FrameCount = 0;
  // Wraps around; otherwise it stops on its last frame.
  bool Looped = false;
  double Pos = 0;
  // Frames per unit of lag.
  double Speed = 0;

  void Advance(std::int32_t lag);
};

// Which picture an object shows: its kind's, or an explosion after a hit or a gun kill.
enum class ObjectPicture : std::uint8_t { Own, ExplosionSmall, ExplosionBig };

// A track object in its slot: place, box, motion, hits and its animation, whose end frees it.
struct TrackObject {
  bool Used = false;
  std::int32_t Slot = 0;
  ObjectKind Kind = ObjectKind::Wall05;
  std::int32_t Lane = 0;
  double X = 0;
  double Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // Pixels per tick added to the race's speed (traffic only).
  double OwnSpeed = 0;
  std::int32_t Hits = 0;
  // Destroyed by the gun; the explosion is playing.
  bool Exploding = false;
  // Free at the next clean-up.
  bool RemoveNow = false;
  // Cleared by its one contact with the car.
  bool CanCollide = true;
  bool NotShootable = false;
  bool IsTraffic = false;
  bool SameDirection = false;
  bool Visible = true;
  ObjectPicture Picture = ObjectPicture::Own;
  Animation Frames;
};

// The player's car: its driving values and its box; it only moves sideways.
struct CarState : CarDriving {
  std::int32_t Number = 1;
  double X = 0;
  double Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// The explosion over the car after a crash: it runs twice through its frames, then the car
// comes back.
struct CrashExplosionState {
  bool Visible = false;
  double X = 0;
  double Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  Animation Frames;
  // Whole frame number seen on the previous count.
  std::int32_t LastFrame = 0;
  // Frame changes counted since the explosion was last reset.
  std::int32_t FramesSeen = 0;
};

// The banner picture standing over the road.
enum class StandingBanner : std::uint8_t { None, TimeOver, GameOver };

// Entries of the move order besides the objects' slots 1..30.
inline constexpr std::int8_t kMoveOrderBonusIcon = kSlotCount + 1;
inline constexpr std::int8_t kMoveOrderBonusFlame = kSlotCount + 2;
inline constexpr std::int8_t kMoveOrderBanner = kSlotCount + 3;

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
  LevelEndPhase FinishPhase = LevelEndPhase::Racing;
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

  // The rules' own copy of the game's generator during a race.
  RandomGenerator Random;
  CarState Car;
  // Track objects by slot 1..30 (index 0 unused).
  std::array<TrackObject, kSlotCount + 1> Objects{};
  CrashExplosionState CarExplosion;
  // The gun's spark, over the object it hits.
  bool SparkVisible = false;
  double SparkX = 0;
  double SparkY = 0;
  // The turbo's or the gun's flame; under the gun it shows while firing.
  bool FlameVisible = false;
  StandingBanner RoadBanner = StandingBanner::None;
  // The objects, the bonus icon and flame and the banner in the order they were created, which is
  // the order they move in: a bonus swap during the move frees the icon and flame and so makes
  // the move skip the next entries, as the sprite tree does.
  std::array<std::int8_t, kSlotCount + 3> MoveOrder{};
  std::int32_t MoveOrderSize = 0;
  // The game has ended; ticks change nothing any more.
  bool Ended = false;
  GameEndReason EndReason = GameEndReason::GameOver;
};

}  // namespace rivoltra
