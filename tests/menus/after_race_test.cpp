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
    game().race.State.Score = score;
    FinishGame(game());
  }
};

TEST_F(AfterRace, TheTypedNameEntersTheTableAndTheMenuOpensTheHighScores) {
  FinishGameWith(1500);
  ASSERT_EQ(game().ScreenState, GameScreen::NameEntry);
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
  EXPECT_EQ(blink.substr(0, 49),
            std::string(15, 'V') + std::string(16, '-') + std::string(17, 'V') + "-")
      << blink;

  Run("type \\b\\b\\b\\b\\b\\b\\b\ntick");
  EXPECT_EQ(menu().PlayerName, "");
  EXPECT_EQ(menu().TextCursor->X, 398);
  Run("type ab\\sc2!.\ntick");
  EXPECT_EQ(menu().PlayerName, "AB C");
  EXPECT_EQ(menu().TextCursor->X, game().text.TextEndX);

  Run("type \\r");
  ASSERT_EQ(game().ScreenState, GameScreen::SendResults);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(menu().TextCursor, nullptr);
  EXPECT_EQ(game().highScores.Entry(4), (HighScoreEntry{"AB C", 1500, 0, 0}));
  EXPECT_EQ(game().highScores.Entry(5).EntryScore, 1400);

  Run("tick");
  Press("Right");
  EXPECT_EQ(Selected(), 2);
  Run("type \\e");
  EXPECT_TRUE(runner_->platform().TakeMessages().empty());
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(menu().MenuPhase, MenuPhases::PanelsMoving);
  EXPECT_EQ(Selected(), kHighScoresSlot);
  FinishSlideIn();
  EXPECT_EQ(game().ScreenState, GameScreen::HighScores);
  EXPECT_EQ(menu().MenuEntryMode, MenuEntryModes::SelectStart);
}

TEST_F(AfterRace, SendingToAServerThatCannotBeReachedSaysSoAndGoesOn) {
  FinishGameWith(300);
  Run("type \\r\ntick\ntype \\r");
  EXPECT_EQ(runner_->platform().TakeMessages(),
            std::vector<std::string>{"Can't connect to server!"});
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(game().highScores.Entry(10), (HighScoreEntry{"NONAME", 300, 0, 0}));
}

// The result goes out over the platform's transport with the game's time limits: the headless
// machine's table answers the version request (or does not), and what was asked is recorded.
TEST_F(AfterRace, SendingAskedThroughThePlatformTransport) {
  struct Case {
    const char* name;
    std::optional<std::string> versionReply;
    std::size_t requests;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"server answers", std::string("OK|1|2|3|S1|"), 2, {}},
      {"server silent", std::nullopt, 1, {"Can't connect to server!"}},
      {"server refuses", std::string("NO|1|2|3|S1|"), 1, {"Can't connect to server!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FinishGameWith(1500);
    FakeHttp& http = runner_->platform().Http();
    http.SetReply(VersionRequestAddress(game().online), c.versionReply);
    Run("type \\r\ntick");
    ASSERT_EQ(game().ScreenState, GameScreen::SendResults);
    Run("type \\r");
    const std::vector<std::string> requests = http.TakeRequests();
    ASSERT_EQ(requests.size(), c.requests);
    EXPECT_EQ(requests[0], VersionRequestAddress(game().online));
    if (c.requests == 2) {
      const std::string reportPrefix = ScoreReportAddress(game().online, "");
      EXPECT_EQ(requests[1].substr(0, reportPrefix.size()), reportPrefix);
      EXPECT_GT(requests[1].size(), reportPrefix.size());
    }
    ASSERT_TRUE(http.LastLimits().has_value());
    EXPECT_EQ(http.LastLimits()->connectTimeout, game().online.ConnectTimeout);
    EXPECT_EQ(http.LastLimits()->requestTimeout, game().online.RequestTimeout);
    EXPECT_EQ(runner_->platform().TakeMessages(), c.messages);
    EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  }
}

TEST_F(AfterRace, AScoreThatBeatsNoEntryGoesStraightToTheHighScores) {
  for (const std::int32_t score : {200, 0}) {
    FinishGameWith(score);
    EXPECT_EQ(game().ScreenState, GameScreen::MainMenu) << score;
    EXPECT_EQ(menu().MenuEntryMode, MenuEntryModes::ShowHighScores);
    FinishSlideIn();
    EXPECT_EQ(game().ScreenState, GameScreen::HighScores);
    EXPECT_EQ(ComputeCheckString(game().highScores), ComputeCheckString(DefaultHighScoreTable()));
  }
}

}  // namespace
}  // namespace rivoltra
