// The level clock and the time bonus on plain race values.
#include "race/core/level_clock.h"

#include <gtest/gtest.h>

namespace rivoltra {
namespace {

constexpr std::int32_t kInterval = 33;

TEST(LevelClock, ASecondGoesAfterTheTimerRunsOutAndOnlyTheLastTenTick) {
  RaceState race;
  CarDriving car;
  race.TimeLeft = 12;
  race.SecondTimer = 1000;
  int ticks = 0;
  // 1000 ms in steps of 33 reach 0 or below after 31 ticks; the 32nd takes the second.
  for (; ticks < 31; ++ticks) {
    EXPECT_FALSE(RunClock(race, car, kInterval).Tick);
  }
  EXPECT_EQ(race.TimeLeft, 12);
  EXPECT_LE(race.SecondTimer, 0);
  EXPECT_FALSE(RunClock(race, car, kInterval).Tick) << "12 -> 11 is silent";
  EXPECT_EQ(race.TimeLeft, 11);
  EXPECT_EQ(race.SecondTimer, 1000);
  race.SecondTimer = 0;
  EXPECT_TRUE(RunClock(race, car, kInterval).Tick) << "11 -> 10 ticks";
  EXPECT_EQ(race.TimeLeft, 10);
}

TEST(LevelClock, AnEmptyClockStopsTheCarEverySecond) {
  RaceState race;
  CarDriving car;
  race.TimeLeft = 1;
  race.SecondTimer = 0;
  car.TargetSpeed = 10;
  EXPECT_TRUE(RunClock(race, car, kInterval).Tick);
  EXPECT_EQ(race.TimeLeft, 0);
  EXPECT_EQ(car.MotionState, CarMotion::SlowingDown);
  EXPECT_EQ(car.TargetSpeed, 0);
  // Later seconds find the clock empty: no tick, and the car is stopped again.
  car.MotionState = CarMotion::DrivingFreely;
  car.TargetSpeed = 5;
  race.SecondTimer = 0;
  EXPECT_FALSE(RunClock(race, car, kInterval).Tick);
  EXPECT_EQ(race.TimeLeft, 0);
  EXPECT_EQ(car.MotionState, CarMotion::SlowingDown);
  EXPECT_EQ(car.TargetSpeed, 0);
}

TEST(LevelClock, ABonusCountsDownAndRunsOutAtItsLastSecond) {
  const struct {
    bool gun, turbo;
    std::int32_t secondsBefore, secondsAfter;
    bool ranOut;
  } cases[] = {
      {true, false, 10, 9, false}, {false, true, 2, 1, false},  {true, false, 1, 1, true},
      {false, true, 0, 0, true},   {false, false, 5, 5, false},
  };
  for (const auto& c : cases) {
    RaceState race;
    CarDriving car;
    race.TimeLeft = 30;
    race.SecondTimer = 0;
    race.GunActive = c.gun;
    race.TurboActive = c.turbo;
    car.BonusSeconds = c.secondsBefore;
    EXPECT_EQ(RunClock(race, car, kInterval).BonusRanOut, c.ranOut) << c.secondsBefore;
    EXPECT_EQ(car.BonusSeconds, c.secondsAfter) << c.secondsBefore;
  }
}

TEST(TimeBonus, EachStepTurnsASecondIntoFivePointsUntilTheClockIsEmpty) {
  RaceState race;
  race.TimeLeft = 3;
  race.Score = 100;
  race.SecondTimer = 0;
  int steps = 0;
  for (int tick = 0; tick < 20; ++tick) {
    const TimeBonusStep step = StepTimeBonus(race, kInterval);
    if (step.StartNextLevel) break;
    if (step.Tick) {
      ++steps;
      TakeBonusSecond(race);
    }
  }
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(race.TimeLeft, 0);
  EXPECT_EQ(race.Score, 115);
  // 50 ms between steps: two 33 ms ticks each.
  EXPECT_EQ(race.SecondTimer, 50);
}

TEST(LevelTable, LengthAndTimeGrowEveryThreeLevels) {
  const struct {
    std::int32_t level, length, time;
  } cases[] = {{1, 30000, 60}, {2, 30000, 61}, {3, 30000, 61}, {4, 42000, 91}, {7, 54000, 121}};
  for (const auto& c : cases) {
    EXPECT_EQ(LevelLength(c.level), c.length) << c.level;
    EXPECT_EQ(LevelTime(c.level), c.time) << c.level;
  }
}

}  // namespace
}  // namespace rivoltra
