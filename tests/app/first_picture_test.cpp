// The desktop start-up shows the main menu's first picture before the race pictures and the
// sounds are prepared and before any tick; apart from that one picture the game must play exactly
// as a start-up that showed nothing, even for a player who presses Enter at once.
#include <gtest/gtest.h>

#include <memory>

#include "app/app.h"
#include "app/game.h"
#include "engine/keyboard_codes.h"
#include "platform/null/null_platform.h"

namespace rivoltra {
namespace {

struct StartedGame {
  NullPlatform Platform;
  rivoltra::App App{Platform};

  explicit StartedGame(bool firstPictureEarly) {
    Platform.KeepPresentedFrames(true);
    StartOptions options;
    options.ShowFirstPictureEarly = firstPictureEarly;
    App.Configure(options);
    App.Start();
  }

  rivoltra::Game& Game() { return App.State(); }

  void Tick() {
    Platform.AdvanceClock(kFrameInterval);
    App.RunDueTicks(Platform.Milliseconds());
  }

  // Enter as the desktop window reports it: the key goes down, types a return, comes up.
  void PressEnter() {
    Platform.Keys().SetKeyDown(virtual_key::kEnter, true);
    App.HandleEvent(InputEvent::Key(InputKind::KeyDown, virtual_key::kEnter, {}));
    App.HandleEvent(InputEvent::Typed('\r'));
    Platform.Keys().SetKeyDown(virtual_key::kEnter, false);
    App.HandleEvent(InputEvent::Key(InputKind::KeyUp, virtual_key::kEnter, {}));
  }
};

TEST(FirstPictureEarly, IsTheMenuBackgroundShownBeforeAnyTickWithEverythingLoadedAfterStart) {
  StartedGame early(true);
  StartedGame late(false);
  EXPECT_EQ(late.Platform.PresentCount(), 0u);
  ASSERT_EQ(early.Platform.PresentCount(), 1u);

  // The slide-in starts with the panels and buttons outside the screen: the background alone.
  Surface background(800, 600);
  early.Game().InterfaceImages.ItemByName("MainMenuBackground").Draw(background, 0, 0, 0);
  EXPECT_EQ(early.Platform.LastPresented().Pixels(), background.Pixels());

  // The start-up has prepared all the rest by the time it returns, as without the picture.
  for (StartedGame* started : {&early, &late}) {
    Game& game = started->Game();
    EXPECT_TRUE(game.StartupComplete);
    EXPECT_GT(game.RaceImages.Items().Count(), 0);
    EXPECT_TRUE(game.RaceImages.Items().Initialized());
    ASSERT_GT(game.Sounds.Items().Count(), 0);
    for (int index = 0; index < game.Sounds.Items().Count(); ++index) {
      EXPECT_TRUE(game.Sounds.Items().Items(index).Initialized()) << index;
    }
  }
}

TEST(FirstPictureEarly, LeavesEveryFrameAndScreenAsWithoutIt) {
  StartedGame early(true);
  StartedGame late(false);
  // Enter on the first picture (ignored while the menu slides in), then once the menu stands:
  // the car choice opens; Enter there starts the race.
  constexpr int kTicks = 220;
  for (int tick = 0; tick < kTicks; ++tick) {
    if (tick == 0 || tick == 150 || tick == 180) {
      early.PressEnter();
      late.PressEnter();
    }
    early.Tick();
    late.Tick();
    ASSERT_EQ(early.Game().ScreenState, late.Game().ScreenState) << "tick " << tick;
    ASSERT_EQ(early.Platform.LastPresented().Pixels(), late.Platform.LastPresented().Pixels())
        << "tick " << tick;
  }
  EXPECT_NE(early.Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(early.Platform.PresentCount(), late.Platform.PresentCount() + 1);
}

}  // namespace
}  // namespace rivoltra
