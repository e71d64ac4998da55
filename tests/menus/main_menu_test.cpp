#include "menu_fixture.h"

namespace rivoltra {
namespace {

TEST_F(MenuScenario, SlideInPanelsThenButtonsBeforeTheMenuListens) {
  Start();
  ASSERT_EQ(Menu().MenuPhase, MenuPhases::PanelsMoving);
  EXPECT_EQ(Selected(), 1);
  const CaptionSprite* up = Menu().UpPanelSprite;
  const CaptionSprite* down = Menu().DownPanelSprite;
  EXPECT_EQ(up->Y, -up->Height);
  EXPECT_EQ(down->Y, 600);
  EXPECT_EQ(down->X, 800 - down->Width);

  // The top panel comes down 3 pixels a tick, the bottom one up 2; the buttons follow in the
  // tick in which both have arrived.
  const int panelTicks = std::max((up->Height + 2) / 3, (down->Height + 1) / 2);
  for (int tick = 1; tick < panelTicks; ++tick) Run("tick");
  EXPECT_EQ(Menu().MenuPhase, MenuPhases::PanelsMoving);

  // Arrows do nothing yet; Enter and clicks only make the press sound.
  Sounds();
  Run("down Down\ntick\nup Down");
  EXPECT_EQ(Selected(), 1);
  Run("type \\r\nclick");
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"Button_Pressed", "Button_Pressed"}));
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Menu().MenuPhase, MenuPhases::ButtonsMoving);
  EXPECT_EQ(Menu().Buttons.Slot(1)->X, 793);

  // The mouse already picks a moving button.
  PointAt(kHighScoresSlot);
  EXPECT_EQ(Selected(), kHighScoresSlot);

  int moves = 1;
  while (Menu().MenuPhase == MenuPhases::ButtonsMoving && moves < 100) {
    const double before = Menu().Buttons.Slot(1)->X;
    Run("tick");
    if (Menu().Buttons.Slot(1)->X != before) {
      EXPECT_EQ(Menu().Buttons.Slot(1)->X, before - 7);
      ++moves;
    }
  }
  EXPECT_EQ(moves, 35);
  EXPECT_EQ(Menu().MenuPhase, MenuPhases::Ready);
  for (int slot = 1; slot <= kMainMenuSlots; ++slot)
    EXPECT_EQ(Menu().Buttons.Slot(slot)->X, 555) << slot;
  Run("tick");
  EXPECT_TRUE(Menu().MenuCaption->Visible);
  EXPECT_TRUE(Shows(Menu().MenuCaption, "HighScoresCaption"));
  EXPECT_TRUE(Menu().Buttons.Slot(kHighScoresSlot)->Highlighted);
}

TEST_F(MenuScenario, HoldingAnArrowMovesOneButtonAndTheSelectionWraps) {
  Start();
  FinishSlideIn();
  Run("down Down\ntick 5");
  EXPECT_EQ(Selected(), 2);
  Run("up Down\ntick\ndown Down\ntick\nup Down\ntick");
  EXPECT_EQ(Selected(), 3);
  for (int i = 0; i < 4; ++i) Press("Down");
  EXPECT_EQ(Selected(), kExitSlot);
  EXPECT_TRUE(Shows(Menu().MenuCaption, "ExitCaption"));
  Press("Down");
  EXPECT_EQ(Selected(), 1);
  Press("Up");
  EXPECT_EQ(Selected(), kExitSlot);
  // Both held: Up is tested first and the step disarms Down.
  Run("down Up\ndown Down\ntick\nup Up\nup Down\ntick");
  EXPECT_EQ(Selected(), kWebSiteSlot);
  // Neither arrow held at the first tick after the release, so the next press counts again.
  Press("Up");
  EXPECT_EQ(Selected(), kHelpSlot);
}

TEST_F(MenuScenario, TheMouseKeepsTheLastButtonAndAClickAnywhereActivatesIt) {
  Start();
  FinishSlideIn();
  Sounds();
  PointAt(kHighScoresSlot);
  Run("tick 3");
  EXPECT_TRUE(Menu().Buttons.Slot(kHighScoresSlot)->Highlighted);
  EXPECT_FALSE(Menu().Buttons.Slot(1)->Highlighted);
  EXPECT_EQ(Sounds(), std::vector<std::string>{"Button_Activated"});

  // Both far edges of a button still hit it.
  const MenuButton* second = Menu().Buttons.Slot(kOptionsSlot);
  Run("mouse " + std::to_string(static_cast<int>(second->X) + second->Width) + " " +
      std::to_string(static_cast<int>(second->Y) + second->Height));
  EXPECT_EQ(Selected(), kOptionsSlot);
  Run("mouse 10 590\ntick");
  EXPECT_EQ(Selected(), kOptionsSlot);
  Run("click");
  EXPECT_EQ(Game().ScreenState, GameScreen::Options);
  EXPECT_EQ(Sounds().back(), "Button_Pressed");
}

TEST_F(MenuScenario, EscapeOnTheMainMenuDoesNothingAndOtherKeysActivate) {
  Start();
  FinishSlideIn();
  Sounds();
  Run("type \\e\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_TRUE(Sounds().empty());
  Press("Down");
  Press("Down");
  Press("Down");
  Run("type q");
  EXPECT_EQ(Game().ScreenState, GameScreen::HighScores);
}

TEST_F(MenuScenario, TheWebSiteButtonOpensTheSiteAndTheMenuStays) {
  Start();
  FinishSlideIn();
  runner_->Platform().TakeOpenedTargets();
  PointAt(kWebSiteSlot);
  Run("click\ntick");
  EXPECT_EQ(runner_->Platform().TakeOpenedTargets(),
            std::vector<std::string>{WebSiteAddress(Game().Online)});
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
}

}  // namespace
}  // namespace rivoltra
