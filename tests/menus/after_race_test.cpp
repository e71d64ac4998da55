#include "menu_fixture.h"
#include "race/race.h"

namespace rivoltra {
namespace {

class AfterRace : public MenuScenario {
 protected:
  // A game that ends with the given score, the way the race ends it.
  void FinishGameWith(std::int32_t score) {
    Start();
    Run("race 1\ntick 5");
    game().race.Score = score;
    FinishGame(game());
  }
};

TEST_F(AfterRace, TheTypedNameEntersTheTableAndTheMenuOpensTheHighScores) {
  FinishGameWith(1500);
  ASSERT_EQ(game().ScreenState, ssNameEntry);
  EXPECT_EQ(menu().PlayerName, "NONAME");
  EXPECT_EQ(menu().buttons.ButtonCount, 0);
  ASSERT_NE(menu().TextCursor, nullptr);
  EXPECT_TRUE(menu().TextCursor->Visible);
  EXPECT_EQ(menu().TextCursor->X, BigTextEndX(game(), "NONAME", 400));
  EXPECT_EQ(menu().TextCursor->Y, 265);
  Run("tick");
  EXPECT_EQ(menu().TextCursor->X, game().text.TextEndX);

  // Shown for 17 frames, hidden for 16.
  std::string blink;
  for (int tick = 0; tick < 66; ++tick) {
    Run("tick");
    blink += menu().TextCursor->Visible ? 'V' : '-';
  }
  EXPECT_EQ(blink.substr(0, 49), std::string(15, 'V') + std::string(16, '-') + std::string(17, 'V') + "-")
      << blink;

  Run("type \\b\\b\\b\\b\\b\\b\\b\ntick");
  EXPECT_EQ(menu().PlayerName, "");
  EXPECT_EQ(menu().TextCursor->X, 398);
  Run("type ab\\sc2!.\ntick");
  EXPECT_EQ(menu().PlayerName, "AB C");
  EXPECT_EQ(menu().TextCursor->X, game().text.TextEndX);

  Run("type \\r");
  ASSERT_EQ(game().ScreenState, ssSendResults);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(menu().TextCursor, nullptr);
  EXPECT_EQ(game().highScores.Entry(4), (HighScoreEntry{"AB C", 1500, 0, 0}));
  EXPECT_EQ(game().highScores.Entry(5).EntryScore, 1400);

  Run("tick");
  Press("Right");
  EXPECT_EQ(Selected(), 2);
  Run("type \\e");
  EXPECT_TRUE(runner_->platform().TakeMessages().empty());
  EXPECT_EQ(game().ScreenState, ssMainMenu);
  EXPECT_EQ(menu().MenuPhase, MenuPhases::PanelsMoving);
  EXPECT_EQ(Selected(), 3);
  FinishSlideIn();
  EXPECT_EQ(game().ScreenState, ssHighScores);
  EXPECT_EQ(menu().MenuEntryMode, 0);
}

TEST_F(AfterRace, SendingToAServerThatCannotBeReachedSaysSoAndGoesOn) {
  FinishGameWith(300);
  Run("type \\r\ntick\ntype \\r");
  EXPECT_EQ(runner_->platform().TakeMessages(), std::vector<std::string>{"Can't connect to server!"});
  EXPECT_EQ(game().ScreenState, ssMainMenu);
  EXPECT_EQ(game().highScores.Entry(10), (HighScoreEntry{"NONAME", 300, 0, 0}));
}

TEST_F(AfterRace, AScoreThatBeatsNoEntryGoesStraightToTheHighScores) {
  for (const std::int32_t score : {200, 0}) {
    FinishGameWith(score);
    EXPECT_EQ(game().ScreenState, ssMainMenu) << score;
    EXPECT_EQ(menu().MenuEntryMode, 3);
    FinishSlideIn();
    EXPECT_EQ(game().ScreenState, ssHighScores);
    EXPECT_EQ(ComputeCheckString(game().highScores), ComputeCheckString(DefaultHighScoreTable()));
  }
}

}  // namespace
}  // namespace rivoltra
