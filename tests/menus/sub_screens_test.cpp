#include "menu_fixture.h"

namespace rivoltra {
namespace {

class SubScreens : public MenuScenario {
 protected:
  void Open(int mainButton) {
    Start();
    FinishSlideIn();
    PointAt(mainButton);
    Run("click\ntick");
  }
};

TEST_F(SubScreens, HelpTurnsPagesAtTheEdgesAndAlwaysOpensOnPageOne) {
  Open(kHelpSlot);
  ASSERT_EQ(Game().ScreenState, GameScreen::Help);
  EXPECT_EQ(Selected(), 9);
  const auto page = [this] { return Menu().HelpPage; };
  for (int expected : {2, 3, 4, 1}) {
    Press("Right");
    EXPECT_EQ(page(), expected);
    EXPECT_TRUE(Shows(Menu().ScreenBackdrop, ("Help" + std::to_string(expected)).c_str()));
  }
  Press("Left");
  EXPECT_EQ(Selected(), 8);
  EXPECT_EQ(page(), 1);
  Press("Left");
  EXPECT_EQ(page(), 4);
  Press("Left");
  EXPECT_EQ(page(), 3);
  Press("Right");
  EXPECT_EQ(Selected(), 9);
  EXPECT_EQ(page(), 3);

  Run("type \\e\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kHelpSlot);
  EXPECT_EQ(Menu().ScreenBackdrop, nullptr);
  Run("type \\r\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::Help);
  EXPECT_EQ(page(), 1);
  EXPECT_TRUE(Shows(Menu().ScreenBackdrop, "Help1"));
}

TEST_F(SubScreens, PushingLeftWithAMainButtonSelectedClosesTheHelpOnce) {
  Open(kHelpSlot);
  // The mouse picks the options' main-menu button and Left runs into the edge in the same tick: the
  // activation closes the help, and the rest of the tick leaves the main menu alone.
  PointAt(kOptionsSlot);
  Run("down Left\ntick\nup Left\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kOptionsSlot);
  EXPECT_EQ(Menu().ScreenBackdrop, nullptr);
  EXPECT_EQ(Menu().Buttons.Slot(8), nullptr);
  EXPECT_TRUE(Game().Timer.Enabled());
  EXPECT_TRUE(Shows(Menu().MenuCaption, "OptionsCaption"));
}

TEST_F(SubScreens, PointingAtAnotherMainButtonClosesTheSubScreen) {
  Open(kOptionsSlot);
  ASSERT_EQ(Game().ScreenState, GameScreen::Options);
  const int optionsSprites = Game().Sprites.Engine().SpriteCount();
  PointAt(kHighScoresSlot);
  Run("tick");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kHighScoresSlot);
  // The six option lines, the panel and the text cursor are gone.
  EXPECT_EQ(Game().Sprites.Engine().SpriteCount(), optionsSprites - 8);
  Run("tick\nclick\ntick");
  EXPECT_EQ(Game().ScreenState, GameScreen::HighScores);
}

TEST_F(SubScreens, EnterOnTheOptionsWithTheirMainButtonSelectedOpensThemAnew) {
  Open(kOptionsSlot);
  PointAt(11);
  Run("click\ntick");
  ASSERT_TRUE(Menu().EditingCountry);
  PointAt(kOptionsSlot);
  Run("type \\r");
  EXPECT_EQ(Game().ScreenState, GameScreen::Options);
  EXPECT_EQ(Selected(), 8);
  EXPECT_FALSE(Menu().EditingCountry);
  EXPECT_FALSE(Menu().TextCursor->Visible);
  Run("type \\e");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kOptionsSlot);
  EXPECT_EQ(Menu().TextCursor, nullptr);
}

TEST_F(SubScreens, OptionLinesSwitchTheDisplayAndTheSound) {
  Open(kOptionsSlot);
  Run("type \\r");
  EXPECT_EQ(Game().Settings.FullScreen, 1);
  EXPECT_TRUE(runner_->Platform().IsFullScreen());
  EXPECT_TRUE(Game().Timer.Enabled());
  Run("type \\r");
  EXPECT_EQ(Game().Settings.FullScreen, 0);

  PointAt(10);
  Run("click");
  EXPECT_EQ(Game().Settings.SoundEnabled, 0);
  Sounds();
  PointAt(8);
  Run("tick\nclick\ntick");
  EXPECT_TRUE(Sounds().empty());
  PointAt(10);
  Run("click");
  EXPECT_EQ(Game().Settings.SoundEnabled, 1);
  EXPECT_EQ(Sounds().back(), "Button_Pressed");

  // Far enough into the song to hear whether switching it back on starts it over.
  Run("tick 400");
  ASSERT_EQ(Game().SongFile, kMenuSongFile);
  ASSERT_GT(SongOrder(Game()), 0);
  PointAt(9);
  Run("click");
  EXPECT_EQ(Game().Settings.MusicEnabled, 0);
  EXPECT_EQ(Game().SongFile, "");
  Run("click");
  EXPECT_EQ(Game().Settings.MusicEnabled, 1);
  EXPECT_EQ(Game().SongFile, kMenuSongFile);
  EXPECT_EQ(SongOrder(Game()), 0);
}

TEST_F(SubScreens, TheCountryTakesLettersUpToTheRightEdgeAndSpacesAlways) {
  Open(kOptionsSlot);
  PointAt(11);
  Run("type \\r\ntick");
  ASSERT_TRUE(Menu().EditingCountry);
  EXPECT_EQ(Menu().TextCursor->Y, 312);
  Run("type \\b\ntype nz1\\sa!\\b\ntick");
  EXPECT_EQ(Game().Settings.Country, "NZ ");

  // Typed faster than the frames: the limit still holds.
  Run("type " + std::string(40, 'w') + "\ntick");
  const std::string country = Game().Settings.Country;
  const int limit = 500 - Menu().TextCursor->Width;
  EXPECT_GE(Game().Text.TextEndX, limit);
  EXPECT_LT(BigTextEndX(Game(), country.substr(0, country.size() - 1), 265), limit);
  Run("type w\\s\ntick");
  EXPECT_EQ(Game().Settings.Country, country + " ");
  // At the edge the cursor stays where it was.
  const double cursorX = Menu().TextCursor->X;
  Run("tick 2");
  EXPECT_EQ(Menu().TextCursor->X, cursorX);

  // With the selection moved to another line, typing is ignored but the cursor blinks on.
  PointAt(10);
  Run("type abc");
  EXPECT_EQ(Game().Settings.Country, country + " ");
  bool sawShown = false, sawHidden = false;
  for (int tick = 0; tick < 40; ++tick) {
    Run("tick");
    (Menu().TextCursor->Visible ? sawShown : sawHidden) = true;
  }
  EXPECT_TRUE(sawShown && sawHidden);
  Run("click");
  EXPECT_FALSE(Menu().EditingCountry);
  EXPECT_FALSE(Menu().TextCursor->Visible);
}

TEST_F(SubScreens, ClearingTheHighScoresShowsTheDefaultTableAtOnce) {
  Open(kHighScoresSlot);
  ASSERT_EQ(Game().ScreenState, GameScreen::HighScores);
  InsertHighScore(Game().HighScores, "AB C", 5000);
  runner_->Platform().TakeOpenedTargets();
  Run("type \\r");
  EXPECT_EQ(runner_->Platform().TakeOpenedTargets(),
            std::vector<std::string>{OnlineTableAddress(Game().Online)});
  Press("Right");
  EXPECT_EQ(Selected(), 8);
  Run("type \\r\ntick");
  EXPECT_EQ(ComputeCheckString(Game().HighScores), ComputeCheckString(DefaultHighScoreTable()));
  EXPECT_EQ(Game().ScreenState, GameScreen::HighScores);
  Run("type \\e");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kHighScoresSlot);
}

TEST_F(SubScreens, CarChoiceStaysWithItsStartButtonAndStartsTheChosenCar) {
  Open(kStartSlot);
  ASSERT_EQ(Game().ScreenState, GameScreen::CarChoice);
  EXPECT_EQ(Selected(), 8);
  PointAt(kStartSlot);
  Run("tick 2");
  EXPECT_EQ(Game().ScreenState, GameScreen::CarChoice);
  Run("click");
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kStartSlot);
  Run("tick\ntype \\r\ntick");
  ASSERT_EQ(Game().ScreenState, GameScreen::CarChoice);
  Press("Right");
  Run("type \\r");
  EXPECT_EQ(Game().ScreenState, GameScreen::Race);
  EXPECT_EQ(Game().Race.State.CarChoice, 2);
  EXPECT_EQ(Menu().Buttons.ButtonCount, 0);
  EXPECT_EQ(Menu().MenuCaption, nullptr);
  EXPECT_EQ(Menu().ScreenBackdrop, nullptr);
}

TEST_F(SubScreens, TheRaceCommandClosesAnyMenuScreenLikeTheCarChoice) {
  Open(kOptionsSlot);
  PointAt(11);
  Run("click\nrace 3");
  EXPECT_EQ(Game().ScreenState, GameScreen::Race);
  EXPECT_EQ(Game().Race.State.CarChoice, 3);
  EXPECT_EQ(Menu().TextCursor, nullptr);
  EXPECT_EQ(Menu().ScreenBackdrop, nullptr);
  EXPECT_EQ(Menu().UpPanelSprite, nullptr);
  for (int slot = 1; slot <= 11; ++slot) EXPECT_EQ(Menu().Buttons.Slot(slot), nullptr) << slot;
  EXPECT_THROW(Run("race 1"), ScriptError);
}

}  // namespace
}  // namespace rivoltra
