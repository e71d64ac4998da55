// Pause, the finish prompt, the end of a game and the HUD's arithmetic.
#include "app/race_scene/hud.h"
#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

class RaceFlowTest : public RaceTest {};

TEST_F(RaceFlowTest, TheRaceStartsWithTheEngineAndHidesTheMousePointer) {
  EXPECT_EQ(game().ScreenState, GameScreen::Race);
  EXPECT_EQ(runner_.platform().MouseCursorCounter(), -1);
  const auto sounds = TakeStartedSounds();
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_TRUE(Contains(sounds, "EngineStart"));
  EXPECT_TRUE(Contains(sounds, "Engine"));
  EXPECT_EQ(game().ScrollBackground->X, 124);
  EXPECT_EQ(game().ScrollBackground->Image->Name(), "GroundLeft");
}

TEST_F(RaceFlowTest, PauseAndFinishKeysAreIgnoredDuringTheStartBanner) {
  Tick(5);
  Press("P");
  Press("Escape");
  EXPECT_FALSE(race().Paused);
  EXPECT_FALSE(race().FinishPrompt);
  EXPECT_FALSE(race().RaceRunning);
  PassStartBanner();
}

TEST_F(RaceFlowTest, PauseActsOnThePressNotWhileTheKeyIsHeld) {
  PassStartBanner();
  QuietRoad();
  Hold("Up");
  Tick(20);
  Hold("P");
  Tick();
  EXPECT_TRUE(race().Paused);
  EXPECT_FALSE(race().RaceRunning);
  const double distance = race().Distance;
  const std::int32_t timeLeft = race().TimeLeft;
  Tick(60);
  EXPECT_TRUE(race().Paused);
  EXPECT_EQ(race().Distance, distance);
  EXPECT_EQ(race().TimeLeft, timeLeft);
  // The finish key cannot resume a paused race.
  Press("Escape");
  EXPECT_TRUE(race().Paused);
  EXPECT_FALSE(race().FinishPrompt);
  Release("P");
  Tick();
  EXPECT_TRUE(race().Paused);
  Press("P");
  EXPECT_FALSE(race().Paused);
  EXPECT_TRUE(race().RaceRunning);
  EXPECT_GT(race().Distance, distance);
}

TEST_F(RaceFlowTest, TheFinishPromptFreezesPlayAndNResumes) {
  PassStartBanner();
  Hold("Escape");
  Tick(10);
  EXPECT_TRUE(race().FinishPrompt);
  EXPECT_FALSE(race().RaceRunning);
  Release("Escape");
  Press("P");  // pause is refused while the prompt is open
  EXPECT_FALSE(race().Paused);
  EXPECT_FALSE(race().RaceRunning);
  Press("N");
  EXPECT_FALSE(race().FinishPrompt);
  EXPECT_TRUE(race().RaceRunning);
}

TEST_F(RaceFlowTest, YesAtTheFinishPromptEndsTheGameLikeAGameOver) {
  const struct {
    std::int32_t score;
    GameScreen screen;
  } cases[] = {
      {0, GameScreen::MainMenu}, {200, GameScreen::MainMenu}, {5000, GameScreen::NameEntry}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.score);
    if (game().ScreenState != GameScreen::Race) Run("race 1");
    PassStartBanner();
    race().Score = c.score;
    TakeStartedSounds();
    Press("Escape");
    runner_.context().soundLog.clear();
    Press("Y");
    EXPECT_EQ(game().ScreenState, c.screen);
    EXPECT_EQ(race().PlayerCar, nullptr);
    EXPECT_EQ(race().Banner, nullptr);
    EXPECT_EQ(runner_.platform().MouseCursorCounter(), 0);
    EXPECT_EQ(game().ScrollBackground->X, 0);
    EXPECT_EQ(race().Speed, 0);
    bool engineStopped = false;
    for (const auto& [play, name] : runner_.context().soundLog) {
      engineStopped = engineStopped || (!play && name == "Engine");
    }
    EXPECT_TRUE(engineStopped);
  }
}

TEST_F(RaceFlowTest, TheRoadScrollsBySpeedAndJumpsBack512Pixels) {
  PassStartBanner();
  QuietRoad();
  ScrollingBackground& road = *game().ScrollBackground;
  road.Y = 595;
  race().Speed = 7;
  Tick();
  EXPECT_DOUBLE_EQ(road.Y, 595 + 7 - 512);
  Tick();
  EXPECT_DOUBLE_EQ(road.Y, 595 + 14 - 512);
}

TEST_F(RaceFlowTest, TheProgressMarkerClimbsWithTheDistance) {
  PassStartBanner();
  QuietRoad();
  race().Distance = 15000;
  race().Speed = 10;
  Tick();
  EXPECT_DOUBLE_EQ(race().ProgressMarker->Y, 322 - 15010.0 * 281 / 30000);
  EXPECT_DOUBLE_EQ(race().ProgressMarker->X, 734 - race().ProgressMarker->Width / 2.0);
}

TEST(Hud, NumbersMoveTenPixelsLeftPerExtraDigit) {
  const struct {
    int value, x;
  } cases[] = {{0, 55}, {99, 55}, {100, 45}, {999, 45}, {1000, 35}, {9999, 35}, {10000, 25}};
  for (const auto& c : cases) EXPECT_EQ(HudNumberX(c.value), c.x) << c.value;
}

TEST_F(RaceFlowTest, TheNeedleShakesOneStepEveryOtherFrame) {
  race().NeedleTimer = -1;
  race().NeedleJitter = 0;
  std::vector<int> jitter;
  for (int i = 0; i < 6; ++i) {
    StepNeedle(game());
    jitter.push_back(race().NeedleJitter);
  }
  EXPECT_EQ(jitter, (std::vector<int>{1, 1, -1, -1, 0, 0}));
}

}  // namespace
}  // namespace rivoltra::testing
