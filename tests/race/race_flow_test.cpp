// Pause, the finish prompt, the end of a game and the HUD's arithmetic.
#include "app/race_scene/hud.h"
#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

class RaceFlowTest : public RaceTest {};

TEST_F(RaceFlowTest, TheRaceStartsWithTheEngineAndHidesTheMousePointer) {
  EXPECT_EQ(Game().ScreenState, GameScreen::Race);
  EXPECT_EQ(runner_.Platform().MouseCursorCounter(), -1);
  const auto sounds = TakeStartedSounds();
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_TRUE(Contains(sounds, "EngineStart"));
  EXPECT_TRUE(Contains(sounds, "Engine"));
  EXPECT_EQ(Game().ScrollBackground->X, 124);
  EXPECT_EQ(Game().ScrollBackground->Image->Name(), "GroundLeft");
}

TEST_F(RaceFlowTest, PauseAndFinishKeysAreIgnoredDuringTheStartBanner) {
  Tick(5);
  Press("P");
  Press("Escape");
  EXPECT_FALSE(Race().Paused);
  EXPECT_FALSE(Race().FinishPrompt);
  EXPECT_FALSE(Race().RaceRunning);
  PassStartBanner();
}

TEST_F(RaceFlowTest, PauseActsOnThePressNotWhileTheKeyIsHeld) {
  PassStartBanner();
  QuietRoad();
  Hold("Up");
  Tick(20);
  Hold("P");
  Tick();
  EXPECT_TRUE(Race().Paused);
  EXPECT_FALSE(Race().RaceRunning);
  const double distance = Race().Distance;
  const std::int32_t timeLeft = Race().TimeLeft;
  Tick(60);
  EXPECT_TRUE(Race().Paused);
  EXPECT_EQ(Race().Distance, distance);
  EXPECT_EQ(Race().TimeLeft, timeLeft);
  // The finish key cannot resume a paused race.
  Press("Escape");
  EXPECT_TRUE(Race().Paused);
  EXPECT_FALSE(Race().FinishPrompt);
  Release("P");
  Tick();
  EXPECT_TRUE(Race().Paused);
  Press("P");
  EXPECT_FALSE(Race().Paused);
  EXPECT_TRUE(Race().RaceRunning);
  EXPECT_GT(Race().Distance, distance);
}

TEST_F(RaceFlowTest, TheFinishPromptFreezesPlayAndNResumes) {
  PassStartBanner();
  Hold("Escape");
  Tick(10);
  EXPECT_TRUE(Race().FinishPrompt);
  EXPECT_FALSE(Race().RaceRunning);
  Release("Escape");
  Press("P");  // pause is refused while the prompt is open
  EXPECT_FALSE(Race().Paused);
  EXPECT_FALSE(Race().RaceRunning);
  Press("N");
  EXPECT_FALSE(Race().FinishPrompt);
  EXPECT_TRUE(Race().RaceRunning);
}

TEST_F(RaceFlowTest, YesAtTheFinishPromptEndsTheGameLikeAGameOver) {
  const struct {
    std::int32_t Score;
    GameScreen Screen;
  } cases[] = {
      {0, GameScreen::MainMenu}, {200, GameScreen::MainMenu}, {5000, GameScreen::NameEntry}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Score);
    if (Game().ScreenState != GameScreen::Race) Run("race 1");
    PassStartBanner();
    Race().Score = c.Score;
    TakeStartedSounds();
    Press("Escape");
    runner_.Context().SoundLog.clear();
    Press("Y");
    EXPECT_EQ(Game().ScreenState, c.Screen);
    EXPECT_EQ(Scene().PlayerCar, nullptr);
    EXPECT_EQ(Scene().Banner, nullptr);
    EXPECT_EQ(runner_.Platform().MouseCursorCounter(), 0);
    EXPECT_EQ(Game().ScrollBackground->X, 0);
    EXPECT_EQ(Race().Speed, 0);
    bool engineStopped = false;
    for (const auto& [play, name] : runner_.Context().SoundLog) {
      engineStopped = engineStopped || (!play && name == "Engine");
    }
    EXPECT_TRUE(engineStopped);
  }
}

TEST_F(RaceFlowTest, TheRoadScrollsBySpeedAndJumpsBack512Pixels) {
  PassStartBanner();
  QuietRoad();
  ScrollingBackground& road = *Game().ScrollBackground;
  road.Y = 595;
  Race().Speed = 7;
  Tick();
  EXPECT_DOUBLE_EQ(road.Y, 595 + 7 - 512);
  Tick();
  EXPECT_DOUBLE_EQ(road.Y, 595 + 14 - 512);
}

TEST_F(RaceFlowTest, TheProgressMarkerClimbsWithTheDistance) {
  PassStartBanner();
  QuietRoad();
  Race().Distance = 15000;
  Race().Speed = 10;
  Tick();
  EXPECT_DOUBLE_EQ(Scene().ProgressMarker->Y, 322 - 15010.0 * 281 / 30000);
  EXPECT_DOUBLE_EQ(Scene().ProgressMarker->X, 734 - Scene().ProgressMarker->Width / 2.0);
}

TEST(Hud, NumbersMoveTenPixelsLeftPerExtraDigit) {
  const struct {
    int Value, X;
  } cases[] = {{0, 55}, {99, 55}, {100, 45}, {999, 45}, {1000, 35}, {9999, 35}, {10000, 25}};
  for (const auto& c : cases) EXPECT_EQ(HudNumberX(c.Value), c.X) << c.Value;
}

TEST_F(RaceFlowTest, TheNeedleShakesOneStepEveryOtherFrame) {
  Scene().NeedleTimer = -1;
  Scene().NeedleJitter = 0;
  std::vector<int> jitter;
  for (int i = 0; i < 6; ++i) {
    StepNeedle(Game());
    jitter.push_back(Scene().NeedleJitter);
  }
  EXPECT_EQ(jitter, (std::vector<int>{1, 1, -1, -1, 0, 0}));
}

}  // namespace
}  // namespace rivoltra::testing
