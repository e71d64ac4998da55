// Levels: length, clock, the finish line, the time bonus and the level change.
#include "race/core/level_clock.h"
#include "race/core/track_kinds.h"
#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

TEST(LevelFormulas, LengthAndTimeGrowEveryThreeLevels) {
  const struct {
    int level, length, time;
  } cases[] = {{1, 30000, 60}, {2, 30000, 61},  {3, 30000, 61},  {4, 42000, 91},
               {6, 42000, 91}, {7, 54000, 121}, {9, 54000, 121}, {10, 66000, 151}};
  for (const auto& c : cases) {
    EXPECT_EQ(LevelLength(c.level), c.length) << c.level;
    EXPECT_EQ(LevelTime(c.level), c.time) << c.level;
  }
}

TEST(SpawnChances, RoadAndTrafficSetsGrowWithLevelDivThree) {
  const auto level1 = SpawnChancesForLevel(1);
  const auto level3 = SpawnChancesForLevel(3);
  const auto level4 = SpawnChancesForLevel(4);
  const auto level6 = SpawnChancesForLevel(6);
  EXPECT_DOUBLE_EQ(level1[1], 0.4);  // road set, power 0
  EXPECT_DOUBLE_EQ(level1[16], 0.07);
  EXPECT_DOUBLE_EQ(level4[1], 0.4 * 1.9);         // road set, power 1
  EXPECT_DOUBLE_EQ(level4[16], 0.07);             // extra life never grows on the road
  EXPECT_DOUBLE_EQ(level3[23], 0.1 * 1.8);        // traffic set, power 1
  EXPECT_DOUBLE_EQ(level3[1], 0);                 // no walls on traffic levels
  EXPECT_DOUBLE_EQ(level6[23], 0.1 * 1.8 * 1.8);  // traffic set, power 2
  EXPECT_DOUBLE_EQ(level6[22], 0.2 * 0.1 * 0.1);  // right side walls die out
  EXPECT_DOUBLE_EQ(level6[15], 0.08 * 1.1 * 1.1);
  EXPECT_EQ(FirstSpawnKind(1), ObjectKind::Wall05);
  EXPECT_EQ(LastSpawnKind(1), ObjectKind::WallRight);
  EXPECT_EQ(FirstSpawnKind(3), ObjectKind::Bonus10);
  EXPECT_EQ(LastSpawnKind(3), ObjectKind::Car10Inv);
}

class LevelTest : public RaceTest {};

TEST_F(LevelTest, StartBannerHoldsPlayForTwoSecondsThenTheClockRuns) {
  EXPECT_EQ(race().Level, 1);
  EXPECT_EQ(race().TimeLeft, 60);
  EXPECT_EQ(race().Lives, 3);
  int bannerTicks = 0;
  while (!race().RaceRunning && bannerTicks < 200) {
    Tick();
    ++bannerTicks;
  }
  // 1000 / 30 x 2 = 66.7 ticks of banner: 67 ticks count it down, the 68th starts play.
  EXPECT_EQ(bannerTicks, 68);
  EXPECT_EQ(race().TimeLeft, 60);
  // The tick that starts play counts the first 30 ms; 1000 ms are used up after 34 steps and
  // the clock moves on the 35th running tick.
  Tick(33);
  EXPECT_EQ(race().TimeLeft, 60);
  Tick();
  EXPECT_EQ(race().TimeLeft, 59);
}

TEST_F(LevelTest, LevelOneEndsAfterExactly30000PixelsWithTheLinePlacedAt29400) {
  PassStartBanner();
  QuietRoad();
  Hold("Up");
  double placedAt = -1;
  double passedAt = -1;
  for (int i = 0; i < 5000 && race().FinishPhase != LevelEndPhase::LevelCompletedBanner; ++i) {
    const LevelEndPhase phase = race().FinishPhase;
    Tick();
    if (phase == LevelEndPhase::Racing && race().FinishPhase == LevelEndPhase::FinishLinePlaced) {
      placedAt = race().Distance;
      // The line spawns in the tick that reaches 29400, and not one before.
      EXPECT_LT(placedAt - race().Speed, 29400);
      bool lineOnRoad = false;
      for (const TrackObjectSprite* object : race().Slots) {
        if (object != nullptr && object->Kind == ObjectKind::FinishLine) {
          lineOnRoad = true;
          EXPECT_DOUBLE_EQ(object->X, 283);
          EXPECT_DOUBLE_EQ(object->Y, -35 - car().Height);
        }
      }
      EXPECT_TRUE(lineOnRoad);
    }
    if (phase == LevelEndPhase::FinishLinePlaced &&
        race().FinishPhase == LevelEndPhase::BrakingAfterLine) {
      passedAt = race().Distance;
      EXPECT_LT(passedAt - race().Speed, 30000);
      EXPECT_EQ(car().MotionState, CarMotion::SlowingDown);
      EXPECT_EQ(car().TargetSpeed, 0);
    }
  }
  EXPECT_GE(placedAt, 29400);
  EXPECT_GE(passedAt, 30000);
  ASSERT_EQ(race().FinishPhase, LevelEndPhase::LevelCompletedBanner);
  EXPECT_EQ(race().Speed, 0);
  EXPECT_FALSE(race().RaceRunning);
  EXPECT_FALSE(car().ControlsEnabled);
  EXPECT_TRUE(Contains(TakeStartedSounds(), "LevelFinish"));
}

TEST_F(LevelTest, TwentySecondsLeftGive105PointsAndLevelTwoStartsAtSixtySeconds) {
  PassStartBanner();
  QuietRoad();
  race().Distance = 29000;
  Hold("Up");
  for (int i = 0; i < 2000 && race().FinishPhase != LevelEndPhase::LevelCompletedBanner; ++i)
    Tick();
  ASSERT_EQ(race().FinishPhase, LevelEndPhase::LevelCompletedBanner);
  Release("Up");
  race().TimeLeft = 20;
  race().Score = 0;
  int ticks = 0;
  while (race().Level == 1 && ticks < 500) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(race().Level, 2);
  EXPECT_EQ(race().Score, 105);
  EXPECT_EQ(race().TimeLeft, 60);
  EXPECT_EQ(race().FinishPhase, LevelEndPhase::Racing);
  EXPECT_FALSE(race().RaceRunning);
  EXPECT_EQ(race().Distance, 0);
  // The clock stands until the new start banner has run.
  Tick(40);
  EXPECT_EQ(race().TimeLeft, 60);
  EXPECT_EQ(race().Score, 105);
}

TEST_F(LevelTest, EveryThirdLevelIsATrafficLevelThatSpawnsOnlyItsSet) {
  StartRaceLevel(game(), 3);
  PassStartBanner();
  Hold("Up");
  bool sawTraffic = false;
  for (int i = 0; i < 1500 && race().Lives == 3; ++i) {
    Tick();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      const TrackObjectSprite* object = race().Slots[static_cast<std::size_t>(slot)];
      if (object == nullptr) continue;
      EXPECT_GE(object->Kind, ObjectKind::Bonus10)
          << "kind " << object->Kind << " on a traffic level";
      sawTraffic = sawTraffic || object->IsTraffic;
    }
  }
  EXPECT_TRUE(sawTraffic);
}

TEST_F(LevelTest, TheClockTicksAudiblyFromTenDownToZeroAndThenStopsTheCar) {
  PassStartBanner();
  QuietRoad();
  race().TimeLeft = 12;
  race().SecondTimer = 0;
  TakeStartedSounds();
  std::vector<int> tickedAt;
  for (int i = 0; i < 500 && race().TimeLeft > 0; ++i) {
    Tick();
    for (const auto& name : TakeStartedSounds()) {
      if (name == "Tick") tickedAt.push_back(race().TimeLeft);
    }
  }
  EXPECT_EQ(tickedAt, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(car().MotionState, CarMotion::SlowingDown);
  EXPECT_EQ(car().TargetSpeed, 0);
}

TEST_F(LevelTest, TimeOverWaitsForTheCarToStopThenCostsALifeAndRestartsTheLevel) {
  PassStartBanner();
  QuietRoad();
  race().Speed = 10;
  race().TimeLeft = 1;
  race().SecondTimer = 0;
  race().Score = 40;
  Tick();
  EXPECT_EQ(race().TimeLeft, 0);
  // The car coasts down first: braking 0.2 a tick from 10 px per tick.
  Tick(10);
  EXPECT_GT(race().Speed, 0);
  EXPECT_EQ(race().Lives, 3);
  for (int i = 0; i < 100 && !race().TimeOverShown; ++i) Tick();
  ASSERT_TRUE(race().TimeOverShown);
  EXPECT_EQ(race().Lives, 2);
  ASSERT_NE(race().Banner, nullptr);
  EXPECT_EQ(race().Banner->Image->Name(), "TimeIsOverNB");
  EXPECT_EQ(race().Banner->X, 200);
  EXPECT_EQ(race().Banner->Y, 220);
  // 2000 ms of banner, then the same level again with its full time.
  for (int i = 0; i < 100 && race().TimeOverShown; ++i) Tick();
  EXPECT_FALSE(race().TimeOverShown);
  EXPECT_EQ(race().Banner, nullptr);
  EXPECT_EQ(race().Level, 1);
  EXPECT_EQ(race().TimeLeft, 60);
  EXPECT_EQ(race().Score, 40);
  EXPECT_FALSE(race().RaceRunning);
}

TEST_F(LevelTest, TrafficTakingTheLastLifeDuringTheTimeOverBannerEndsTheGameCleanly) {
  PassStartBanner();
  QuietRoad();
  race().Lives = 2;
  race().TimeLeft = 0;
  Tick(2);
  ASSERT_TRUE(race().TimeOverShown);
  ASSERT_EQ(race().Lives, 1);
  // Oncoming traffic keeps moving while the banner stands and runs into the stopped car.
  TrackObject& traffic = ObjectOnCar(ObjectKind::Car5Inv);
  traffic.Y -= 20;
  traffic.OwnSpeed = 4;
  for (int i = 0; i < 20 && race().Lives > 0; ++i) Tick();
  EXPECT_EQ(race().Lives, 0);
  Tick();
  EXPECT_TRUE(race().GameOverShown);
  ASSERT_NE(race().Banner, nullptr);
  EXPECT_EQ(race().Banner->Image->Name(), "GameOverNB");
  for (int i = 0; i < 200 && game().ScreenState == GameScreen::Race; ++i) Tick();
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(SpriteCount(), MenuSpriteCount());
}

}  // namespace
}  // namespace rivoltra::testing
