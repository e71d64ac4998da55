// Whole races through the core alone, driven by scripted inputs over a small picture table.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "race/core/level_clock.h"
#include "race/core/race_simulation.h"
#include "race/core/race_tick.h"
#include "race/core/road.h"
#include "race/core/track_objects.h"
#include "test_race_data.h"

namespace rivoltra {
namespace {

using enum RaceEventKind;

RaceTickInput Holding(std::initializer_list<RaceAction> actions) {
  RaceTickInput input;
  for (const RaceAction action : actions) input.Actions.Set(action, true);
  return input;
}

class RaceScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    race_.Random.Seed(1234);
    StartRace(race_, data_, 1);
  }

  RaceEvents Step(const RaceTickInput& input = {}) { return RaceTick(race_, input, data_); }

  // Ticks until the event comes; returns the number of ticks, or -1 after the limit.
  int TicksUntil(RaceEventKind kind, int limit, const RaceTickInput& input = {}) {
    for (int tick = 1; tick <= limit; ++tick) {
      if (Step(input).Has(kind)) return tick;
    }
    return -1;
  }

  void PassStartBanner() {
    for (int i = 0; i < 200 && !race_.RaceRunning; ++i) Step();
    ASSERT_TRUE(race_.RaceRunning);
    race_.SpawnChance.fill(0);
  }

  // An object of the kind put where the car meets it on the next move.
  TrackObject& ObjectOnCar(ObjectKind kind) {
    RaceEvents ignored;
    const std::int32_t slot = SpawnObject(race_, data_, kind, ignored);
    EXPECT_GE(slot, 1);
    TrackObject& object = race_.Objects[static_cast<std::size_t>(slot)];
    object.X = race_.Car.X + (race_.Car.Width - object.Width) / 2.0;
    object.Y = race_.Car.Y - object.Height + 10;
    return object;
  }

  RaceData data_ = testing::SmallRaceData();
  RaceState race_;
};

TEST_F(RaceScenario, StartsAtLevelOneWithTheStartBannerThenPlayRuns) {
  EXPECT_EQ(race_.Level, 1);
  EXPECT_EQ(race_.Lives, 3);
  EXPECT_EQ(race_.TimeLeft, LevelTime(1));
  EXPECT_FALSE(race_.RaceRunning);
  // Two seconds of 25 ms ticks.
  EXPECT_EQ(TicksUntil(TextBanner, 1), 1);
  int banners = 1;
  while (Step().Has(TextBanner)) ++banners;
  EXPECT_EQ(banners, 80);
  EXPECT_TRUE(race_.RaceRunning);
  EXPECT_TRUE(race_.Car.ControlsEnabled);
}

TEST_F(RaceScenario, AFastWallHitCrashesAndTheCarComesBackAfterTwoRunsOfTheExplosion) {
  PassStartBanner();
  ObjectOnCar(ObjectKind::Wall10);
  race_.Speed = Sevenths(80);
  const RaceEvents hit = Step();
  EXPECT_TRUE(hit.Has(Crash));
  EXPECT_EQ(race_.Lives, 2);
  EXPECT_EQ(race_.Speed, 0);
  EXPECT_TRUE(race_.CrashPending);
  EXPECT_FALSE(race_.Car.ControlsEnabled);
  // 10 frames at 20 per second on 25 ms ticks: a frame change every other tick, twice through.
  EXPECT_EQ(TicksUntil(Respawn, 100), 2 * 10 * 2);
  EXPECT_FALSE(race_.CrashPending);
  EXPECT_TRUE(race_.Car.ControlsEnabled);
  EXPECT_FALSE(race_.CarExplosion.Visible);
}

TEST_F(RaceScenario, ASlowWallHitOnlyStopsTheCar) {
  PassStartBanner();
  ObjectOnCar(ObjectKind::Wall05);
  race_.Speed = Sevenths(70);
  EXPECT_FALSE(Step().Has(Crash));
  EXPECT_EQ(race_.Lives, 3);
  EXPECT_EQ(race_.Speed, 0);
  EXPECT_EQ(race_.Car.StunTime, 2);
}

TEST_F(RaceScenario, PickUpsScoreAndTheGunDestroysAWallWithThreeHits) {
  PassStartBanner();
  race_.Speed = 1;
  TrackObject& bonus = ObjectOnCar(ObjectKind::Bonus50);
  const RaceEvents taken = Step();
  EXPECT_TRUE(taken.Has(ObjectHit));
  EXPECT_EQ(race_.Score, 50);
  EXPECT_FALSE(bonus.Used) << "picked up and freed by the clean-up of the same tick";

  ObjectOnCar(ObjectKind::BonusGun);
  EXPECT_TRUE(Step().Has(BonusTaken));
  EXPECT_TRUE(race_.GunActive);
  EXPECT_EQ(race_.Car.BonusSeconds, 10);

  race_.Speed = 0;
  RaceEvents placed;
  const std::int32_t slot = SpawnObject(race_, data_, ObjectKind::Wall05, placed);
  ASSERT_GE(slot, 1);
  TrackObject& wall = race_.Objects[static_cast<std::size_t>(slot)];
  wall.X = race_.Car.X + (race_.Car.Width - wall.Width) / 2.0;
  wall.Y = 100;
  EXPECT_TRUE(Step(Holding({RaceAction::Fire})).Has(ObjectShot));
  EXPECT_TRUE(Step(Holding({RaceAction::Fire})).Has(ObjectShot));
  EXPECT_EQ(wall.Hits, 2);
  EXPECT_TRUE(Step(Holding({RaceAction::Fire})).Has(ObjectExploded));
  EXPECT_TRUE(wall.Exploding);
  EXPECT_EQ(race_.Score, 60);
  // The small explosion (8 frames at 10 per second) ends and frees the wall.
  EXPECT_GT(TicksUntil(ObjectRemoved, 100), 0);
  EXPECT_FALSE(wall.Used);
}

TEST_F(RaceScenario, TheLevelEndsPastTheLineAndTheSecondsLeftBecomePoints) {
  PassStartBanner();
  race_.Distance = LevelLength(1) - 700;
  race_.Speed = 5;
  const std::int32_t secondsLeft = race_.TimeLeft;
  // 100 px to go at 5 px a tick.
  EXPECT_EQ(TicksUntil(ObjectSpawned, 30), 20);
  EXPECT_EQ(race_.FinishPhase, LevelEndPhase::FinishLinePlaced);
  EXPECT_GT(TicksUntil(LevelDone, 500), 0);
  EXPECT_EQ(race_.FinishPhase, LevelEndPhase::LevelCompletedBanner);
  const std::int32_t timeAtLine = race_.TimeLeft;
  EXPECT_LE(timeAtLine, secondsLeft);
  EXPECT_GT(TicksUntil(LevelStarted, 5000), 0);
  EXPECT_EQ(race_.Level, 2);
  EXPECT_EQ(race_.Score, 5 * timeAtLine + 5);
  EXPECT_EQ(race_.TimeLeft, LevelTime(2) - 1);
}

TEST_F(RaceScenario, TimeOverCostsALifeAndRestartsTheLevel) {
  PassStartBanner();
  race_.TimeLeft = 1;
  race_.SecondTimer = 0;
  const RaceEvents over = Step();
  EXPECT_EQ(race_.TimeLeft, 0);
  EXPECT_FALSE(over.Has(TimeOver));
  EXPECT_TRUE(Step().Has(TimeOver)) << "the standing car at 0 seconds";
  EXPECT_EQ(race_.Lives, 2);
  EXPECT_EQ(race_.RoadBanner, BannerId::TimeOver);
  // Two seconds of banner, then the same level again.
  EXPECT_EQ(TicksUntil(LevelStarted, 200), 81);
  EXPECT_EQ(race_.Level, 1);
  EXPECT_EQ(race_.TimeLeft, LevelTime(1));
  EXPECT_EQ(race_.RoadBanner, BannerId::None);
}

TEST_F(RaceScenario, TheLastLifeLostEndsTheGameAfterTheGameOverBanner) {
  PassStartBanner();
  race_.Lives = 1;
  ObjectOnCar(ObjectKind::Wall10);
  race_.Speed = Sevenths(80);
  EXPECT_TRUE(Step().Has(Crash));
  EXPECT_TRUE(Step().Has(GameOver)) << "no respawn at 0 lives";
  EXPECT_FALSE(race_.CarExplosion.Visible);
  // The banner's two seconds started counting in the tick it came.
  EXPECT_EQ(TicksUntil(GameEnded, 200), 80);
  EXPECT_TRUE(race_.Ended);
  EXPECT_EQ(race_.EndReason, GameEndReason::GameOver);
  const RaceState before = race_;
  EXPECT_TRUE(Step(Holding({RaceAction::Accelerate})).List.empty());
  EXPECT_EQ(race_.Score, before.Score);
}

TEST_F(RaceScenario, PauseFreezesTheRaceAndTheFinishPromptsYesEndsIt) {
  PassStartBanner();
  race_.Speed = 3;
  EXPECT_TRUE(Step(Holding({RaceAction::Pause})).Has(Paused));
  const double distance = race_.Distance;
  for (int i = 0; i < 10; ++i) Step();
  EXPECT_EQ(race_.Distance, distance);
  EXPECT_TRUE(Step(Holding({RaceAction::Pause})).Has(Unpaused));
  EXPECT_GT(race_.Distance, distance);

  EXPECT_TRUE(Step(Holding({RaceAction::Finish})).Has(FinishPromptShown));
  EXPECT_TRUE(Step(Holding({RaceAction::No})).Has(FinishPromptClosed));
  EXPECT_TRUE(race_.RaceRunning);
  Step(Holding({RaceAction::Finish}));
  const RaceEvents ended = Step(Holding({RaceAction::Yes}));
  ASSERT_TRUE(ended.Has(GameEnded));
  EXPECT_EQ(race_.EndReason, GameEndReason::FinishPromptYes);
}

// Objects move in the order they were made, among the bonus icon and flame; a swap of bonuses
// in the middle of the move takes the icon and flame out and makes the move skip the next two
// entries for that tick, as the sprite tree always did.
TEST_F(RaceScenario, ABonusSwapDuringTheMoveSkipsTheNextTwoEntries) {
  PassStartBanner();
  RaceEvents ignored;
  // Each placed a pixel further right, so the next one in the lane finds a free place.
  int shift = 0;
  const auto placeAt = [&](ObjectKind kind, std::int32_t lane, double y) -> TrackObject& {
    const std::int32_t slot = SpawnObject(race_, data_, kind, ignored, lane);
    EXPECT_GE(slot, 1);
    TrackObject& object = race_.Objects[static_cast<std::size_t>(slot)];
    object.X += ++shift;
    object.Y = y;
    return object;
  };
  // A lane away from the car, whose pick-ups stand centred in its own lane.
  const std::int32_t lane = race_.Car.X + race_.Car.Width / 2.0 < kLaneEdge[2] ? 4 : 2;
  TrackObject& before = placeAt(ObjectKind::Bonus10, lane, 100);
  ObjectOnCar(ObjectKind::BonusTurbo);
  Step();
  ASSERT_TRUE(race_.TurboActive);
  ObjectOnCar(ObjectKind::BonusGun);
  TrackObject& next = placeAt(ObjectKind::Bonus20, lane, 200);
  TrackObject& afterNext = placeAt(ObjectKind::Bonus50, lane, 300);
  TrackObject& third = placeAt(ObjectKind::Bonus100, lane, 400);
  race_.Speed = 2;

  const RaceEvents swap = Step();
  ASSERT_TRUE(swap.Has(BonusEnded));
  EXPECT_TRUE(race_.GunActive);
  EXPECT_EQ(before.Y, 102);
  EXPECT_EQ(next.Y, 200);
  EXPECT_EQ(afterNext.Y, 300);
  EXPECT_EQ(third.Y, 402);
  Step();
  EXPECT_EQ(next.Y, 202);
  EXPECT_EQ(afterNext.Y, 302);
}

// The simulation is the same rules behind one object: equal inputs give equal games.
TEST(RaceSimulation, EqualStartsAndInputsGiveEqualGames) {
  const RaceData data = testing::SmallRaceData();
  RaceSimulation first(data, 2, 99);
  RaceSimulation second(data, 2, 99);
  RaceSimulation other(data, 2, 100);
  const RaceTickInput drive = Holding({RaceAction::Accelerate, RaceAction::Fire});
  bool differed = false;
  for (int tick = 0; tick < 3000 && !first.Ended(); ++tick) {
    first.Tick(drive);
    second.Tick(drive);
    other.Tick(drive);
    ASSERT_EQ(first.State().Random.State(), second.State().Random.State()) << tick;
    ASSERT_EQ(first.State().Score, second.State().Score) << tick;
    differed = differed || first.State().Random.State() != other.State().Random.State();
  }
  EXPECT_TRUE(differed);
  EXPECT_EQ(first.TickCount(), second.TickCount());
}

TEST(RaceSimulation, RefusesACarThatCannotBeChosenAndATimerWithoutInterval) {
  const RaceData data = testing::SmallRaceData();
  for (const std::int32_t car : {0, 5, 10, -1}) {
    EXPECT_THROW(RaceSimulation(data, car, 1), std::invalid_argument) << car;
  }
  RaceData noInterval = data;
  noInterval.IntervalMs = 0;
  EXPECT_THROW(RaceSimulation(noInterval, 1, 1), std::invalid_argument);
  EXPECT_NO_THROW(RaceSimulation(data, 4, 1));
}

}  // namespace
}  // namespace rivoltra
