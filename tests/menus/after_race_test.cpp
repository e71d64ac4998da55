#include <optional>

#include "app/race_scene/race.h"
#include "menu_fixture.h"
#include "persist/online.h"

namespace rivoltra {
namespace {

class AfterRace : public MenuScenario {
 protected:
  // A game that ends with the given score, the way the race ends it.
  void FinishGameWith(std::int32_t score) {
    Start();
    Run("race 1\ntick 5");
    Game().Race.State.Score = score;
    FinishGame(Game());
  }
};

TEST_F(AfterRace, TheTypedNameEntersTheTableAndTheMenuOpensTheHighScores) {
  FinishGameWith(1500);
  ASSERT_EQ(Game().ScreenState, GameScreen::NameEntry);
  EXPECT_EQ(Menu().PlayerName, "NONAME");
  EXPECT_EQ(Menu().Buttons.ButtonCount, 0);
  ASSERT_NE(Menu().TextCursor, nullptr);
  EXPECT_TRUE(Menu().TextCursor->Visible);
  EXPECT_EQ(Menu().TextCursor->X, BigTextEndX(Game(), "NONAME", 400));
  EXPECT_EQ(Menu().TextCursor->Y, 265);
  Run("tick");
  EXPECT_EQ(Menu().TextCursor->X, Game().Text.TextEndX);

  // Shown for 17 frames, hidden for 16.
  std::string blink;
  for (int tick = 0; tick < 66; ++tick) {
    Run("tick");
    blink += Menu().TextCursor->Visible ? 'V' : '-';
  }
  EXPECT_EQ(blink.substr(0, 49),
            std::string(15, 'V') + std::string(16, '-') + std::string(17, 'V') + "-")
      << blink;

  Run("type \\b\\b\\b\\b\\b\\b\\b\ntick");
  EXPECT_EQ(Menu().PlayerName, "");
  EXPECT_EQ(Menu().TextCursor->X, 398);
  Run("type ab\\sc2!.\ntick");
  EXPECT_EQ(Menu().PlayerName, "AB C");
  EXPECT_EQ(Menu().TextCursor->X, Game().Text.TextEndX);

  Run("type \\r");
  ASSERT_EQ(Game().ScreenState, GameScreen::SendResults);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Menu().TextCursor, nullptr);
  EXPECT_EQ(Game().HighScores.Entry(4), (HighScoreEntry{"AB C", 1500, 0, 0}));
  EXPECT_EQ(Game().HighScores.Entry(5).EntryScore, 1400);

  Run("tick");
  Press("Right");
  EXPECT_EQ(Selected(), 2);
  Run("type \\e");
  EXPECT_TRUE(runner_->Platform().TakeMessages().empty());
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Menu().MenuPhase, MenuPhases::PanelsMoving);
  EXPECT_EQ(Selected(), kHighScoresSlot);
  FinishSlideIn();
  EXPECT_EQ(Game().ScreenState, GameScreen::HighScores);
  EXPECT_EQ(Menu().MenuEntryMode, MenuEntryModes::SelectStart);
}

TEST_F(AfterRace, SendingToAServerThatCannotBeReachedSaysSoAndGoesOn) {
  FinishGameWith(300);
  Run("type \\r\ntick\ntype \\r");
  EXPECT_EQ(runner_->Platform().TakeMessages(),
            std::vector<std::string>{"Can't connect to server!"});
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Game().HighScores.Entry(10), (HighScoreEntry{"NONAME", 300, 0, 0}));
}

// The result goes out over the platform's transport with the game's time limits: the headless
// machine's table answers the version request (or does not), and what was asked is recorded.
TEST_F(AfterRace, SendingAskedThroughThePlatformTransport) {
  struct Case {
    const char* Name;
    std::optional<std::string> VersionReply;
    std::size_t Requests;
    std::vector<std::string> Messages;
  };
  const Case cases[] = {
      {"server answers", std::string("OK|1|2|3|S1|"), 2, {}},
      {"server silent", std::nullopt, 1, {"Can't connect to server!"}},
      {"server refuses", std::string("NO|1|2|3|S1|"), 1, {"Can't connect to server!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FinishGameWith(1500);
    FakeHttp& http = runner_->Platform().Http();
    http.SetReply(VersionRequestAddress(Game().Online), c.VersionReply);
    Run("type \\r\ntick");
    ASSERT_EQ(Game().ScreenState, GameScreen::SendResults);
    Run("type \\r");
    const std::vector<std::string> requests = http.TakeRequests();
    ASSERT_EQ(requests.size(), c.Requests);
    EXPECT_EQ(requests[0], VersionRequestAddress(Game().Online));
    if (c.Requests == 2) {
      const std::string reportPrefix = ScoreReportAddress(Game().Online, "");
      EXPECT_EQ(requests[1].substr(0, reportPrefix.size()), reportPrefix);
      EXPECT_GT(requests[1].size(), reportPrefix.size());
    }
    ASSERT_TRUE(http.LastLimits().has_value());
    EXPECT_EQ(http.LastLimits()->ConnectTimeout, Game().Online.ConnectTimeout);
    EXPECT_EQ(http.LastLimits()->RequestTimeout, Game().Online.RequestTimeout);
    EXPECT_EQ(runner_->Platform().TakeMessages(), c.Messages);
    EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  }
}

TEST_F(AfterRace, AScoreThatBeatsNoEntryGoesStraightToTheHighScores) {
  for (const std::int32_t score : {200, 0}) {
    FinishGameWith(score);
    EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu) << score;
    EXPECT_EQ(Menu().MenuEntryMode, MenuEntryModes::ShowHighScores);
    FinishSlideIn();
    EXPECT_EQ(Game().ScreenState, GameScreen::HighScores);
    EXPECT_EQ(ComputeCheckString(Game().HighScores), ComputeCheckString(DefaultHighScoreTable()));
  }
}

}  // namespace
}  // namespace rivoltra
