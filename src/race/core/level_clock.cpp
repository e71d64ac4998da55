#include "race/core/level_clock.h"

namespace rivoltra {

namespace {

constexpr std::int32_t kSecondMs = 1000;
constexpr std::int32_t kTimeBonusStepMs = 50;
constexpr std::int32_t kPointsPerSecondLeft = 5;
constexpr std::int32_t kTickWarningSeconds = 10;

}  // namespace

std::int32_t LevelLength(std::int32_t level) {
  const std::int32_t group = (level - 1) / 3 + 1;
  return 12000 * group + 18000;
}

std::int32_t LevelTime(std::int32_t level) {
  const std::int32_t group = (level - 1) / 3 + 1;
  return 30 * group + 30 + (level == 1 ? 0 : 1);
}

ClockStep RunClock(RaceState& race, CarDriving& car, std::int32_t intervalMs) {
  ClockStep step;
  if (race.SecondTimer > 0) {
    race.SecondTimer -= intervalMs;
    return step;
  }
  if (race.TimeLeft > 0) {
    race.TimeLeft -= 1;
    step.Tick = race.TimeLeft <= kTickWarningSeconds;
  }
  if (race.TimeLeft == 0) {
    car.MotionState = CarMotion::SlowingDown;
    car.TargetSpeed = 0;
  }
  if (race.GunActive || race.TurboActive) {
    if (car.BonusSeconds <= 1) {
      step.BonusRanOut = true;
    } else {
      car.BonusSeconds -= 1;
    }
  }
  race.SecondTimer = kSecondMs;
  return step;
}

TimeBonusStep StepTimeBonus(RaceState& race, std::int32_t intervalMs) {
  TimeBonusStep step;
  if (race.SecondTimer > 0) {
    race.SecondTimer -= intervalMs;
    return step;
  }
  step.Tick = true;
  race.SecondTimer = kTimeBonusStepMs;
  step.StartNextLevel = race.TimeLeft == 0;
  return step;
}

void TakeBonusSecond(RaceState& race) {
  if (race.TimeLeft > 0) {
    race.TimeLeft -= 1;
    race.Score += kPointsPerSecondLeft;
  }
}

}  // namespace rivoltra
