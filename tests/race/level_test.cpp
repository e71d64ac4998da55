// Levels: length, clock, the finish line, the time bonus and the level change.
#include "race/core/level_clock.h"
#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

class LevelTest : public RaceTest {};

TEST_F(LevelTest, StartBannerHoldsPlayForTwoSecondsThenTheClockRuns) {
  EXPECT_EQ(Race().Level, 1);
  EXPECT_EQ(Race().TimeLeft, 60);
  EXPECT_EQ(Race().Lives, 3);
  int bannerTicks = 0;
  while (!Race().RaceRunning && bannerTicks < 200) {
    Tick();
    ++bannerTicks;
  }
  // 1000 / 30 x 2 = 66.7 ticks of banner: 67 ticks count it down, the 68th starts play.
  EXPECT_EQ(bannerTicks, 68);
  EXPECT_EQ(Race().TimeLeft, 60);
  // The tick that starts play counts the first 30 ms; 1000 ms are used up after 34 steps and
  // the clock moves on the 35th running tick.
  Tick(33);
  EXPECT_EQ(Race().TimeLeft, 60);
  Tick();
  EXPECT_EQ(Race().TimeLeft, 59);
}

TEST_F(LevelTest, LevelOneEndsAfterExactly30000PixelsWithTheLinePlacedAt29400) {
  PassStartBanner();
  QuietRoad();
  Hold("Up");
  double placedAt = -1;
  double passedAt = -1;
  for (int i = 0; i < 5000 && Race().FinishPhase != LevelEndPhase::LevelCompletedBanner; ++i) {
    const LevelEndPhase phase = Race().FinishPhase;
    Tick();
    if (phase == LevelEndPhase::Racing && Race().FinishPhase == LevelEndPhase::FinishLinePlaced) {
      placedAt = Race().Distance;
      // The line spawns in the tick that reaches 29400, and not one before.
      EXPECT_LT(placedAt - Race().Speed, 29400);
      bool lineOnRoad = false;
      for (const TrackObject& object : Race().Objects) {
        if (object.Used && object.Kind == ObjectKind::FinishLine) {
          lineOnRoad = true;
          EXPECT_DOUBLE_EQ(object.X, 283);
          EXPECT_DOUBLE_EQ(object.Y, -35 - Car().Height);
        }
      }
      EXPECT_TRUE(lineOnRoad);
    }
    if (phase == LevelEndPhase::FinishLinePlaced &&
        Race().FinishPhase == LevelEndPhase::BrakingAfterLine) {
      passedAt = Race().Distance;
      EXPECT_LT(passedAt - Race().Speed, 30000);
      EXPECT_EQ(Car().MotionState, CarMotion::SlowingDown);
      EXPECT_EQ(Car().TargetSpeed, 0);
    }
  }
  EXPECT_GE(placedAt, 29400);
  EXPECT_GE(passedAt, 30000);
  ASSERT_EQ(Race().FinishPhase, LevelEndPhase::LevelCompletedBanner);
  EXPECT_EQ(Race().Speed, 0);
  EXPECT_FALSE(Race().RaceRunning);
  EXPECT_FALSE(Car().ControlsEnabled);
  EXPECT_TRUE(Contains(TakeStartedSounds(), "LevelFinish"));
}

TEST_F(LevelTest, TwentySecondsLeftGive105PointsAndLevelTwoStartsAtSixtySeconds) {
  PassStartBanner();
  QuietRoad();
  Race().Distance = 29000;
  Hold("Up");
  for (int i = 0; i < 2000 && Race().FinishPhase != LevelEndPhase::LevelCompletedBanner; ++i)
    Tick();
  ASSERT_EQ(Race().FinishPhase, LevelEndPhase::LevelCompletedBanner);
  Release("Up");
  Race().TimeLeft = 20;
  Race().Score = 0;
  int ticks = 0;
  while (Race().Level == 1 && ticks < 500) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(Race().Level, 2);
  EXPECT_EQ(Race().Score, 105);
  EXPECT_EQ(Race().TimeLeft, 60);
  EXPECT_EQ(Race().FinishPhase, LevelEndPhase::Racing);
  EXPECT_FALSE(Race().RaceRunning);
  EXPECT_EQ(Race().Distance, 0);
  // The clock stands until the new start banner has run.
  Tick(40);
  EXPECT_EQ(Race().TimeLeft, 60);
  EXPECT_EQ(Race().Score, 105);
}

TEST_F(LevelTest, EveryThirdLevelIsATrafficLevelThatSpawnsOnlyItsSet) {
  StartRaceLevel(Game(), 3);
  PassStartBanner();
  Hold("Up");
  bool sawTraffic = false;
  for (int i = 0; i < 1500 && Race().Lives == 3; ++i) {
    Tick();
    for (const TrackObject& object : Race().Objects) {
      if (!object.Used) continue;
      EXPECT_GE(object.Kind, ObjectKind::Bonus10)
          << "kind " << object.Kind << " on a traffic level";
      sawTraffic = sawTraffic || object.IsTraffic;
    }
  }
  EXPECT_TRUE(sawTraffic);
}

TEST_F(LevelTest, TheClockTicksAudiblyFromTenDownToZeroAndThenStopsTheCar) {
  PassStartBanner();
  QuietRoad();
  Race().TimeLeft = 12;
  Race().SecondTimer = 0;
  TakeStartedSounds();
  std::vector<int> tickedAt;
  for (int i = 0; i < 500 && Race().TimeLeft > 0; ++i) {
    Tick();
    for (const auto& name : TakeStartedSounds()) {
      if (name == "Tick") tickedAt.push_back(Race().TimeLeft);
    }
  }
  EXPECT_EQ(tickedAt, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(Car().MotionState, CarMotion::SlowingDown);
  EXPECT_EQ(Car().TargetSpeed, 0);
}

TEST_F(LevelTest, TimeOverWaitsForTheCarToStopThenCostsALifeAndRestartsTheLevel) {
  PassStartBanner();
  QuietRoad();
  Race().Speed = 10;
  Race().TimeLeft = 1;
  Race().SecondTimer = 0;
  Race().Score = 40;
  Tick();
  EXPECT_EQ(Race().TimeLeft, 0);
  // The car coasts down first: braking 0.2 a tick from 10 px per tick.
  Tick(10);
  EXPECT_GT(Race().Speed, 0);
  EXPECT_EQ(Race().Lives, 3);
  for (int i = 0; i < 100 && !Race().TimeOverShown; ++i) Tick();
  ASSERT_TRUE(Race().TimeOverShown);
  EXPECT_EQ(Race().Lives, 2);
  ASSERT_NE(Scene().Banner, nullptr);
  EXPECT_EQ(Scene().Banner->Image->Name(), "TimeIsOverNB");
  EXPECT_EQ(Scene().Banner->X, 200);
  EXPECT_EQ(Scene().Banner->Y, 220);
  // 2000 ms of banner, then the same level again with its full time.
  for (int i = 0; i < 100 && Race().TimeOverShown; ++i) Tick();
  EXPECT_FALSE(Race().TimeOverShown);
  EXPECT_EQ(Scene().Banner, nullptr);
  EXPECT_EQ(Race().Level, 1);
  EXPECT_EQ(Race().TimeLeft, 60);
  EXPECT_EQ(Race().Score, 40);
  EXPECT_FALSE(Race().RaceRunning);
}

TEST_F(LevelTest, TrafficTakingTheLastLifeDuringTheTimeOverBannerEndsTheGameCleanly) {
  PassStartBanner();
  QuietRoad();
  Race().Lives = 2;
  Race().TimeLeft = 0;
  Tick(2);
  ASSERT_TRUE(Race().TimeOverShown);
  ASSERT_EQ(Race().Lives, 1);
  // Oncoming traffic keeps moving while the banner stands and runs into the stopped car.
  TrackObject& traffic = ObjectOnCar(ObjectKind::Car5Inv);
  traffic.Y -= 20;
  traffic.OwnSpeed = 4;
  for (int i = 0; i < 20 && Race().Lives > 0; ++i) Tick();
  EXPECT_EQ(Race().Lives, 0);
  Tick();
  EXPECT_TRUE(Race().GameOverShown);
  ASSERT_NE(Scene().Banner, nullptr);
  EXPECT_EQ(Scene().Banner->Image->Name(), "GameOverNB");
  for (int i = 0; i < 200 && Game().ScreenState == GameScreen::Race; ++i) Tick();
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(SpriteCount(), MenuSpriteCount());
}

}  // namespace
}  // namespace rivoltra::testing
