// Hazards and score pick-ups touching the car, on plain race values with a seeded generator.
#include "race/core/object_contact.h"

#include <gtest/gtest.h>

#include <string>

#include "race/core/road.h"

namespace rivoltra {
namespace {

TEST(ObjectContact, PickUpsScoreAndGoTheRabbitCostsAndWallsAreLeftToTheScene) {
  const struct {
    ObjectKind Kind;
    std::int32_t ScoreBefore, ScoreAfter, LivesAfter;
    SoundId Sound;
    bool Remove;
  } cases[] = {
      {ObjectKind::Bonus10, 0, 10, 3, SoundId::ScoreGet, true},
      {ObjectKind::Bonus100, 5, 105, 3, SoundId::ScoreGet, true},
      {ObjectKind::BonusLive, 7, 7, 4, SoundId::ScoreGet, true},
      {ObjectKind::Rabbit, 60, 0, 3, SoundId::Rabbit, true},
      {ObjectKind::Rabbit, 250, 150, 3, SoundId::Rabbit, true},
  };
  for (const auto& c : cases) {
    RaceState race;
    CarDriving car;
    race.Score = c.ScoreBefore;
    const ContactResult result = TouchObject(race, car, c.Kind, 3);
    EXPECT_TRUE(result.Handled);
    EXPECT_EQ(race.Score, c.ScoreAfter) << KindNumber(c.Kind);
    EXPECT_EQ(race.Lives, c.LivesAfter) << KindNumber(c.Kind);
    EXPECT_EQ(result.Sound, c.Sound);
    EXPECT_EQ(result.Remove, c.Remove);
  }
  for (const ObjectKind kind : {ObjectKind::Wall05, ObjectKind::BonusGun, ObjectKind::Car5Inv,
                                ObjectKind::SignLeftRed, ObjectKind::FinishLine}) {
    RaceState race;
    CarDriving car;
    EXPECT_FALSE(TouchObject(race, car, kind, 3).Handled) << KindNumber(kind);
    EXPECT_EQ(race.Random.State(), 0u) << "no draw for kinds left to the scene";
  }
}

TEST(ObjectContact, StonesAndTheSpikeSlowTheCarToTheirTargets) {
  const struct {
    ObjectKind Kind;
    double Speed, TargetBefore, TargetAfter;
    bool Punctured;
  } cases[] = {
      {ObjectKind::Stone05, 15, 0, 15 - 50.0 / 7, false},
      {ObjectKind::StoneSmall05, 15, 0, 15 - 20.0 / 7, false},
      {ObjectKind::Crack, 15, 0, 15 - 10.0 / 7, false},
      // Below its slowdown a stone keeps the old target.
      {ObjectKind::Stone05, 5, 1.5, 1.5, false},
      {ObjectKind::Spike10, 15, 0, 25.0 / 7, true},
  };
  for (const auto& c : cases) {
    RaceState race;
    CarDriving car;
    race.Speed = c.Speed;
    car.TargetSpeed = c.TargetBefore;
    TouchObject(race, car, c.Kind, 3);
    EXPECT_EQ(car.MotionState, CarMotion::SlowingDown);
    EXPECT_DOUBLE_EQ(car.TargetSpeed, c.TargetAfter) << KindNumber(c.Kind);
    EXPECT_EQ(race.Punctured, c.Punctured);
    EXPECT_EQ(car.StunTime, c.Punctured ? 10 : 0);
  }
}

TEST(ObjectContact, WaterSlidesTowardsTheRoadOrByTheDrawnSide) {
  // Lane widths 113, 109, 110, 113 from the lane table.
  const struct {
    std::int32_t Lane;
    std::uint32_t Seed;
    CarMotion Motion;
    double Distance;
  } cases[] = {
      {1, 1, CarMotion::SlidingRight, 113},
      {4, 1, CarMotion::SlidingLeft, 110},
  };
  for (const auto& c : cases) {
    RaceState race;
    CarDriving car;
    race.Random.Seed(c.Seed);
    race.Speed = 12;
    EXPECT_EQ(TouchObject(race, car, ObjectKind::Water10, c.Lane).Sound, SoundId::Water);
    EXPECT_EQ(car.MotionState, c.Motion) << c.Lane;
    EXPECT_EQ(car.SlideDistance, c.Distance) << c.Lane;
    EXPECT_DOUBLE_EQ(car.TargetSpeed, 12 - 50.0 / 7);
  }
  // In a middle lane the drawn side decides, and the draw is taken in every lane.
  int left = 0;
  int right = 0;
  for (std::uint32_t seed = 0; seed < 64; ++seed) {
    RaceState race;
    CarDriving car;
    race.Random.Seed(seed);
    RandomGenerator expected;
    expected.Seed(seed);
    const bool drawnLeft = expected.Next(2) == 0;
    race.Speed = 5;
    TouchObject(race, car, ObjectKind::Water05, 3);
    EXPECT_EQ(race.Random.State(), expected.State());
    EXPECT_EQ(car.MotionState, drawnLeft ? CarMotion::SlidingLeft : CarMotion::SlidingRight);
    EXPECT_EQ(car.SlideDistance, drawnLeft ? LaneWidth(2) : LaneWidth(3));
    EXPECT_EQ(car.TargetSpeed, 5) << "too slow to lose speed";
    (drawnLeft ? left : right) += 1;
  }
  EXPECT_GT(left, 0);
  EXPECT_GT(right, 0);
}

TEST(ObjectContact, WallsCrashOnlyAboveTheirSpeedAndTrafficByTheSpeedDifference) {
  const double wallLimit = 75.0 / 7;
  const struct {
    const char* What;
    double Speed, TrafficOwnSpeed;
    bool Traffic, Crashed;
    double SpeedAfter;
  } cases[] = {
      {"wall at its limit", wallLimit, 0, false, false, 0},
      {"wall just above", wallLimit + 0.01, 0, false, true, 0},
      // Traffic the player's way moves up the screen: own speed -10 against speed 12 is a
      // difference of 2, under the limit; the car loses 50/7 of its speed.
      {"slow same-way traffic", 12, -10, true, false, 12 - 50.0 / 7},
      {"oncoming traffic", 12, 3, true, true, 0},
      {"slow car, fast same-way traffic", 5, -9.5, true, true, 0},
  };
  for (const auto& c : cases) {
    RaceState race;
    CarDriving car;
    race.Speed = c.Speed;
    race.Punctured = true;
    car.BonusSeconds = 4;
    const bool crashed = c.Traffic ? TrafficHit(race, car, c.TrafficOwnSpeed) : WallHit(race, car);
    EXPECT_EQ(crashed, c.Crashed) << c.What;
    EXPECT_DOUBLE_EQ(race.Speed, c.SpeedAfter) << c.What;
    EXPECT_EQ(race.Lives, c.Crashed ? 2 : 3) << c.What;
    EXPECT_EQ(race.CrashPending, c.Crashed) << c.What;
    EXPECT_EQ(car.ControlsEnabled, !c.Crashed) << c.What;
    EXPECT_EQ(car.BonusSeconds, c.Crashed ? 0 : 4) << c.What;
    if (!c.Traffic) {
      EXPECT_EQ(car.StunTime, 2) << c.What;
      EXPECT_EQ(race.Punctured, c.Crashed) << c.What << ": only the stop clears the puncture";
    }
  }
}

TEST(ObjectContact, NoCrashAtZeroLives) {
  RaceState race;
  CarDriving car;
  race.Lives = 0;
  race.Speed = 20;
  EXPECT_FALSE(CrashCar(race, car));
  EXPECT_EQ(race.Lives, 0);
  EXPECT_EQ(race.Speed, 20);
  EXPECT_FALSE(race.CrashPending);
}

}  // namespace
}  // namespace rivoltra
