#pragma once

#include <cstdint>

#include "race/core/car_motion.h"
#include "race/core/race_state.h"

namespace rivoltra {

// Pixels to drive in a level: 30000 for levels 1..3, 12000 more for each next three levels.
std::int32_t LevelLength(std::int32_t level);
// Seconds on the clock at a level's start: 60 for level 1, 30 more for each next three levels,
// plus 1 for every level after the first.
std::int32_t LevelTime(std::int32_t level);

struct ClockStep {
  // The clock ticked audibly: one of the last ten seconds went.
  bool Tick = false;
  // The gun or turbo ran out in this second; the caller ends it.
  bool BonusRanOut = false;
};

// One running tick of the level clock, counted down in steps of the frame interval: each full
// second takes a second off the clock (at 0 the car is stopped) and off a running bonus.
ClockStep RunClock(RaceState& race, CarDriving& car, std::int32_t intervalMs);

struct TimeBonusStep {
  bool Tick = false;
  // The clock is empty: the caller starts the next level before the bonus second is taken.
  bool StartNextLevel = false;
};

// One tick of counting the seconds left into points after the level's end: a step every 50 ms.
TimeBonusStep StepTimeBonus(RaceState& race, std::int32_t intervalMs);
// After a step that ticked: a second left becomes 5 points. The step that starts the next level
// takes one second of the new level's clock too, which is why later levels start with one more.
void TakeBonusSecond(RaceState& race);

}  // namespace rivoltra
