// Long play: the autopilot drives game after game through road and traffic levels; every game
// must end cleanly and leave exactly the menu's sprites behind.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "app/game.h"
#include "autopilot.h"
#include "runner/script_runner.h"

namespace rivoltra {
namespace {

constexpr int kSoakTicks = 60000;
// A game that gets this far is given up at the finish prompt, so that many games are played.
constexpr int kGiveUpLevel = 4;

TEST(Soak, SixtyThousandTicksOfGamesEndCleanlyAndFreeEveryRaceSprite) {
  std::ostringstream out;
  ScriptRunner runner(out);
  runner.Start();
  runner.Execute("seed 424242");
  Game& game = runner.Game();
  const int menuSprites = game.Sprites.Engine().SpriteCount();
  Autopilot pilot(game, runner.Platform().Keys());

  int gamesStarted = 0;
  int gamesEnded = 0;
  int gamesGivenUp = 0;
  int highestLevel = 0;
  int trafficLevelTicks = 0;
  int car = 1;
  bool inGame = false;
  bool givingUp = false;
  bool escapeHeld = false;
  for (int tick = 0; tick < kSoakTicks; ++tick) {
    const GameScreen screen = game.ScreenState;
    if (screen == GameScreen::Race) {
      if (game.Race.State.Level >= kGiveUpLevel) {
        // The player gives up: a press of the finish key, then yes.
        pilot.ReleaseAll();
        givingUp = true;
        if (game.Race.State.FinishPrompt) {
          runner.Execute("down Y");
        } else if (escapeHeld) {
          runner.Execute("up Escape");
          escapeHeld = false;
        } else if (game.Race.State.RaceRunning) {
          runner.Execute("down Escape");
          escapeHeld = true;
        }
      } else {
        pilot.Drive();
      }
      if (game.Race.State.Level % 3 == 0) ++trafficLevelTicks;
      if (game.Race.State.Level > highestLevel) highestLevel = game.Race.State.Level;
    } else {
      if (inGame) {
        // The first screen after a game: the race has freed all of its sprites.
        ++gamesEnded;
        inGame = false;
        if (givingUp) ++gamesGivenUp;
        givingUp = false;
        runner.Execute("up Y");
        if (escapeHeld) runner.Execute("up Escape");
        escapeHeld = false;
        pilot.ReleaseAll();
        if (screen == GameScreen::MainMenu) {
          EXPECT_EQ(game.Sprites.Engine().SpriteCount(), menuSprites)
              << "after game " << gamesEnded;
        }
      }
      if (screen == GameScreen::NameEntry) {
        runner.Execute("type \\r");
      } else if (screen == GameScreen::SendResults) {
        runner.Execute("mouse 450 320");  // Cancel
        runner.Execute("click");
        EXPECT_EQ(game.ScreenState, GameScreen::MainMenu);
        EXPECT_EQ(game.Sprites.Engine().SpriteCount(), menuSprites) << "after game " << gamesEnded;
      } else {
        runner.Execute("race " + std::to_string(car));
        car = car % 4 + 1;
        ++gamesStarted;
        inGame = true;
      }
    }
    runner.Execute("tick");
    runner.Context().SoundLog.clear();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
  }

  std::cout << "games started " << gamesStarted << ", ended " << gamesEnded << " (" << gamesGivenUp
            << " given up), highest level " << highestLevel << ", ticks on traffic levels "
            << trafficLevelTicks << '\n';
  EXPECT_GE(gamesEnded, 3);
  EXPECT_GE(highestLevel, 3);
  EXPECT_GT(trafficLevelTicks, 1000);
}

}  // namespace
}  // namespace rivoltra
