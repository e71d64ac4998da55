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
  ASSERT_EQ(game().ScreenState, GameScreen::Help);
  EXPECT_EQ(Selected(), 9);
  const auto page = [this] { return menu().HelpPage; };
  for (int expected : {2, 3, 4, 1}) {
    Press("Right");
    EXPECT_EQ(page(), expected);
    EXPECT_TRUE(Shows(menu().ScreenBackdrop, ("Help" + std::to_string(expected)).c_str()));
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
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kHelpSlot);
  EXPECT_EQ(menu().ScreenBackdrop, nullptr);
  Run("type \\r\ntick");
  EXPECT_EQ(game().ScreenState, GameScreen::Help);
  EXPECT_EQ(page(), 1);
  EXPECT_TRUE(Shows(menu().ScreenBackdrop, "Help1"));
}

TEST_F(SubScreens, PushingLeftWithAMainButtonSelectedClosesTheHelpOnce) {
  Open(kHelpSlot);
  // The mouse picks the options' main-menu button and Left runs into the edge in the same tick: the
  // activation closes the help, and the rest of the tick leaves the main menu alone.
  PointAt(kOptionsSlot);
  Run("down Left\ntick\nup Left\ntick");
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kOptionsSlot);
  EXPECT_EQ(menu().ScreenBackdrop, nullptr);
  EXPECT_EQ(menu().buttons.Slot(8), nullptr);
  EXPECT_TRUE(game().Timer.Enabled());
  EXPECT_TRUE(Shows(menu().MenuCaption, "OptionsCaption"));
}

TEST_F(SubScreens, PointingAtAnotherMainButtonClosesTheSubScreen) {
  Open(kOptionsSlot);
  ASSERT_EQ(game().ScreenState, GameScreen::Options);
  const int optionsSprites = game().Sprites.Engine().SpriteCount();
  PointAt(kHighScoresSlot);
  Run("tick");
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kHighScoresSlot);
  // The six option lines, the panel and the text cursor are gone.
  EXPECT_EQ(game().Sprites.Engine().SpriteCount(), optionsSprites - 8);
  Run("tick\nclick\ntick");
  EXPECT_EQ(game().ScreenState, GameScreen::HighScores);
}

TEST_F(SubScreens, EnterOnTheOptionsWithTheirMainButtonSelectedOpensThemAnew) {
  Open(kOptionsSlot);
  PointAt(11);
  Run("click\ntick");
  ASSERT_TRUE(menu().EditingCountry);
  PointAt(kOptionsSlot);
  Run("type \\r");
  EXPECT_EQ(game().ScreenState, GameScreen::Options);
  EXPECT_EQ(Selected(), 8);
  EXPECT_FALSE(menu().EditingCountry);
  EXPECT_FALSE(menu().TextCursor->Visible);
  Run("type \\e");
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kOptionsSlot);
  EXPECT_EQ(menu().TextCursor, nullptr);
}

TEST_F(SubScreens, OptionLinesSwitchTheDisplayAndTheSound) {
  Open(kOptionsSlot);
  Run("type \\r");
  EXPECT_EQ(game().settings.FullScreen, 1);
  EXPECT_TRUE(runner_->platform().IsFullScreen());
  EXPECT_TRUE(game().Timer.Enabled());
  Run("type \\r");
  EXPECT_EQ(game().settings.FullScreen, 0);

  PointAt(10);
  Run("click");
  EXPECT_EQ(game().settings.SoundEnabled, 0);
  Sounds();
  PointAt(8);
  Run("tick\nclick\ntick");
  EXPECT_TRUE(Sounds().empty());
  PointAt(10);
  Run("click");
  EXPECT_EQ(game().settings.SoundEnabled, 1);
  EXPECT_EQ(Sounds().back(), "Button_Pressed");

  // Far enough into the song to hear whether switching it back on starts it over.
  Run("tick 400");
  ASSERT_EQ(game().SongFile, kMenuSongFile);
  ASSERT_GT(SongOrder(game()), 0);
  PointAt(9);
  Run("click");
  EXPECT_EQ(game().settings.MusicEnabled, 0);
  EXPECT_EQ(game().SongFile, "");
  Run("click");
  EXPECT_EQ(game().settings.MusicEnabled, 1);
  EXPECT_EQ(game().SongFile, kMenuSongFile);
  EXPECT_EQ(SongOrder(game()), 0);
}

TEST_F(SubScreens, TheCountryTakesLettersUpToTheRightEdgeAndSpacesAlways) {
  Open(kOptionsSlot);
  PointAt(11);
  Run("type \\r\ntick");
  ASSERT_TRUE(menu().EditingCountry);
  EXPECT_EQ(menu().TextCursor->Y, 312);
  Run("type \\b\ntype nz1\\sa!\\b\ntick");
  EXPECT_EQ(game().settings.Country, "NZ ");

  // Typed faster than the frames: the limit still holds.
  Run("type " + std::string(40, 'w') + "\ntick");
  const std::string country = game().settings.Country;
  const int limit = 500 - menu().TextCursor->Width;
  EXPECT_GE(game().text.TextEndX, limit);
  EXPECT_LT(BigTextEndX(game(), country.substr(0, country.size() - 1), 265), limit);
  Run("type w\\s\ntick");
  EXPECT_EQ(game().settings.Country, country + " ");
  // At the edge the cursor stays where it was.
  const double cursorX = menu().TextCursor->X;
  Run("tick 2");
  EXPECT_EQ(menu().TextCursor->X, cursorX);

  // With the selection moved to another line, typing is ignored but the cursor blinks on.
  PointAt(10);
  Run("type abc");
  EXPECT_EQ(game().settings.Country, country + " ");
  bool sawShown = false, sawHidden = false;
  for (int tick = 0; tick < 40; ++tick) {
    Run("tick");
    (menu().TextCursor->Visible ? sawShown : sawHidden) = true;
  }
  EXPECT_TRUE(sawShown && sawHidden);
  Run("click");
  EXPECT_FALSE(menu().EditingCountry);
  EXPECT_FALSE(menu().TextCursor->Visible);
}

TEST_F(SubScreens, ClearingTheHighScoresShowsTheDefaultTableAtOnce) {
  Open(kHighScoresSlot);
  ASSERT_EQ(game().ScreenState, GameScreen::HighScores);
  InsertHighScore(game().highScores, "AB C", 5000);
  runner_->platform().TakeOpenedTargets();
  Run("type \\r");
  EXPECT_EQ(runner_->platform().TakeOpenedTargets(),
            std::vector<std::string>{OnlineTableAddress(game().online)});
  Press("Right");
  EXPECT_EQ(Selected(), 8);
  Run("type \\r\ntick");
  EXPECT_EQ(ComputeCheckString(game().highScores), ComputeCheckString(DefaultHighScoreTable()));
  EXPECT_EQ(game().ScreenState, GameScreen::HighScores);
  Run("type \\e");
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kHighScoresSlot);
}

TEST_F(SubScreens, CarChoiceStaysWithItsStartButtonAndStartsTheChosenCar) {
  Open(kStartSlot);
  ASSERT_EQ(game().ScreenState, GameScreen::CarChoice);
  EXPECT_EQ(Selected(), 8);
  PointAt(kStartSlot);
  Run("tick 2");
  EXPECT_EQ(game().ScreenState, GameScreen::CarChoice);
  Run("click");
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Selected(), kStartSlot);
  Run("tick\ntype \\r\ntick");
  ASSERT_EQ(game().ScreenState, GameScreen::CarChoice);
  Press("Right");
  Run("type \\r");
  EXPECT_EQ(game().ScreenState, GameScreen::Race);
  EXPECT_EQ(game().race.State.CarChoice, 2);
  EXPECT_EQ(menu().buttons.ButtonCount, 0);
  EXPECT_EQ(menu().MenuCaption, nullptr);
  EXPECT_EQ(menu().ScreenBackdrop, nullptr);
}

TEST_F(SubScreens, TheRaceCommandClosesAnyMenuScreenLikeTheCarChoice) {
  Open(kOptionsSlot);
  PointAt(11);
  Run("click\nrace 3");
  EXPECT_EQ(game().ScreenState, GameScreen::Race);
  EXPECT_EQ(game().race.State.CarChoice, 3);
  EXPECT_EQ(menu().TextCursor, nullptr);
  EXPECT_EQ(menu().ScreenBackdrop, nullptr);
  EXPECT_EQ(menu().UpPanelSprite, nullptr);
  for (int slot = 1; slot <= 11; ++slot) EXPECT_EQ(menu().buttons.Slot(slot), nullptr) << slot;
  EXPECT_THROW(Run("race 1"), ScriptError);
}

}  // namespace
}  // namespace rivoltra
