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
    bool Gun, Turbo;
    std::int32_t SecondsBefore, SecondsAfter;
    bool RanOut;
  } cases[] = {
      {true, false, 10, 9, false}, {false, true, 2, 1, false},  {true, false, 1, 1, true},
      {false, true, 0, 0, true},   {false, false, 5, 5, false},
  };
  for (const auto& c : cases) {
    RaceState race;
    CarDriving car;
    race.TimeLeft = 30;
    race.SecondTimer = 0;
    race.GunActive = c.Gun;
    race.TurboActive = c.Turbo;
    car.BonusSeconds = c.SecondsBefore;
    EXPECT_EQ(RunClock(race, car, kInterval).BonusRanOut, c.RanOut) << c.SecondsBefore;
    EXPECT_EQ(car.BonusSeconds, c.SecondsAfter) << c.SecondsBefore;
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
    std::int32_t Level, Length, Time;
  } cases[] = {{1, 30000, 60}, {2, 30000, 61},  {3, 30000, 61},  {4, 42000, 91},
               {6, 42000, 91}, {7, 54000, 121}, {9, 54000, 121}, {10, 66000, 151}};
  for (const auto& c : cases) {
    EXPECT_EQ(LevelLength(c.Level), c.Length) << c.Level;
    EXPECT_EQ(LevelTime(c.Level), c.Time) << c.Level;
  }
}

}  // namespace
}  // namespace rivoltra
