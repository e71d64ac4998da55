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
  NullPlatform platform;
  App app{platform};

  explicit StartedGame(bool firstPictureEarly) {
    platform.KeepPresentedFrames(true);
    StartOptions options;
    options.ShowFirstPictureEarly = firstPictureEarly;
    app.Configure(options);
    app.Start();
  }

  Game& game() { return app.State(); }

  void Tick() {
    platform.AdvanceClock(kFrameInterval);
    app.RunDueTicks(platform.Milliseconds());
  }

  // Enter as the desktop window reports it: the key goes down, types a return, comes up.
  void PressEnter() {
    platform.Keys().SetKeyDown(VirtualKey::Enter, true);
    app.HandleEvent(InputEvent::Key(InputEvent::Kind::KeyDown, VirtualKey::Enter, {}));
    app.HandleEvent(InputEvent::Typed('\r'));
    platform.Keys().SetKeyDown(VirtualKey::Enter, false);
    app.HandleEvent(InputEvent::Key(InputEvent::Kind::KeyUp, VirtualKey::Enter, {}));
  }
};

TEST(FirstPictureEarly, IsTheMenuBackgroundShownBeforeAnyTickWithEverythingLoadedAfterStart) {
  StartedGame early(true);
  StartedGame late(false);
  EXPECT_EQ(late.platform.PresentCount(), 0u);
  ASSERT_EQ(early.platform.PresentCount(), 1u);

  // The slide-in starts with the panels and buttons outside the screen: the background alone.
  Surface background(800, 600);
  early.game().InterfaceImages.ItemByName("MainMenuBackground").Draw(background, 0, 0, 0);
  EXPECT_EQ(early.platform.LastPresented().Pixels(), background.Pixels());

  // The start-up has prepared all the rest by the time it returns, as without the picture.
  for (StartedGame* started : {&early, &late}) {
    Game& game = started->game();
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
    ASSERT_EQ(early.game().ScreenState, late.game().ScreenState) << "tick " << tick;
    ASSERT_EQ(early.platform.LastPresented().Pixels(), late.platform.LastPresented().Pixels())
        << "tick " << tick;
  }
  EXPECT_NE(early.game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(early.platform.PresentCount(), late.platform.PresentCount() + 1);
}

}  // namespace
}  // namespace rivoltra
