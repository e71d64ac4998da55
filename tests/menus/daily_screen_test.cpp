// The daily screen: the day's course and table from the server, fetched while the screen
// stands; a clear line without it; the player's own best of the day, kept in the save folder
// and brought up to date by a daily run, which leads back to this screen.
#include "app/race_scene/race.h"
#include "formats/daily_course.h"
#include "menu_fixture.h"
#include "persist/daily_bests.h"
#include "persist/online.h"

namespace rivoltra {
namespace {

class DailyScreen : public MenuScenario {
 protected:
  std::uint32_t Today() { return DayOfUnixSeconds(runner_->Platform().WallClockSeconds()); }
  std::string TableAddress() { return DailyListAddress(Game().Online, Today()); }
  void OpenFromTheMainMenu() {
    FinishSlideIn();
    PointAt(kDailyRunSlot);
    Run("click\ntick");
    ASSERT_EQ(Game().ScreenState, GameScreen::DailyRun);
  }
};

TEST_F(DailyScreen, ShowsTheDaysCarAndWhatBecameOfTheServersTable) {
  Start();
  const std::string date = DateTextOf(Today());
  const struct {
    const char* What;
    std::optional<std::string> Reply;
    DailyTableStatus Status;
    std::size_t Rows;
  } cases[] = {
      {"the day's table", "OK|daily|" + date + "|2|\nANNA|SWEDEN|5600|12|\nBO|PERU|4100|13|\n",
       DailyTableStatus::Shown, 2},
      {"no runs yet", "OK|daily|" + date + "|0|\n", DailyTableStatus::Shown, 0},
      {"no answer", std::nullopt, DailyTableStatus::NeedsConnection, 0},
      {"another day's table", "OK|daily|2025-12-31|0|\n", DailyTableStatus::OddReply, 0},
      {"a count that does not match", "OK|daily|" + date + "|3|\nANNA|SWEDEN|5600|12|\n",
       DailyTableStatus::OddReply, 0},
      {"not a table at all", "<html>maintenance</html>", DailyTableStatus::OddReply, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    runner_->Platform().Http().SetReply(TableAddress(), c.Reply);
    OpenFromTheMainMenu();
    EXPECT_EQ(Game().Daily.Status, c.Status);
    ASSERT_EQ(Game().Daily.Entries.size(), c.Rows);
    if (c.Rows == 2) {
      EXPECT_EQ(Game().Daily.Entries[0], (DailyListEntry{"ANNA", "SWEDEN", 5600, 12}));
      EXPECT_EQ(Game().Daily.Entries[1].Name, "BO");
    }
    EXPECT_TRUE(
        Shows(Menu().DailyCar, ("Car" + std::to_string(DailyCourseOf(Today()).Car)).c_str()));
    EXPECT_TRUE(Shows(Menu().ScreenBackdrop, "DailyRunBackground"));
    EXPECT_EQ(Selected(), kFirstScreenSlot) << "the start button is selected";
    Run("type \\e\ntick");
    EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
    EXPECT_EQ(Menu().DailyCar, nullptr);
    EXPECT_EQ(Menu().ScreenBackdrop, nullptr);
  }
  Game().Preferences.OnlinePlay = false;
  OpenFromTheMainMenu();
  EXPECT_EQ(Game().Daily.Status, DailyTableStatus::OnlinePlayOff);
}

// The table is asked for without waiting: the screen shows its loading line until the reply is
// in, and a reply that comes after the screen closed is dropped.
TEST_F(DailyScreen, TheTableIsFetchedWithoutWaiting) {
  Start();
  FinishSlideIn();
  struct SlowGet : PendingHttpGet {
    bool Arrived = false;
    bool Done() override { return Arrived; }
    std::optional<std::string> Reply() override {
      return Arrived ? std::optional<std::string>("OK|daily|2026-01-01|1|\nCY|CHILE|900|3|\n")
                     : std::nullopt;
    }
  };
  PointAt(kDailyRunSlot);
  Run("click");
  ASSERT_EQ(Game().ScreenState, GameScreen::DailyRun);
  auto slow = std::make_unique<SlowGet>();
  SlowGet* reply = slow.get();
  Game().Daily.Pending = std::move(slow);
  Game().Daily.Status = DailyTableStatus::Loading;
  Run("tick 5");
  EXPECT_EQ(Game().Daily.Status, DailyTableStatus::Loading);
  reply->Arrived = true;
  Run("tick");
  EXPECT_EQ(Game().Daily.Status, DailyTableStatus::Shown);
  ASSERT_EQ(Game().Daily.Entries.size(), 1u);
  EXPECT_EQ(Game().Daily.Entries[0].Name, "CY");
}

TEST_F(DailyScreen, ADailyRunUpdatesTheOwnBestAndLeadsBackHere) {
  const std::filesystem::path bests = folder_ / "Data" / "Save" / kDailyBestsFileName;
  Start();
  OpenFromTheMainMenu();
  EXPECT_EQ(Game().Daily.Status, DailyTableStatus::NeedsConnection) << "nothing on port 1";
  EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), std::nullopt);
  const auto playDailyRun = [&](std::int32_t score) {
    Run("type \\r");
    ASSERT_EQ(Game().ScreenState, GameScreen::Race);
    EXPECT_EQ(Game().Race.State.CarChoice, DailyCourseOf(Today()).Car);
    Run("tick 5");
    Game().Race.State.Score = score;
    FinishGame(Game());
    // A daily run always reaches the name entry, so that it can be sent.
    ASSERT_EQ(Game().ScreenState, GameScreen::NameEntry);
    Run("type \\r\ntick");
    ASSERT_EQ(Game().ScreenState, GameScreen::SendResults);
    Press("Right");
    Run("type \\r");
    ASSERT_EQ(Game().ScreenState, GameScreen::MainMenu);
    EXPECT_EQ(Selected(), kDailyRunSlot);
    FinishSlideIn();
    ASSERT_EQ(Game().ScreenState, GameScreen::DailyRun);
  };
  playDailyRun(150);  // below every local high score
  EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), 150);
  EXPECT_EQ(Game().HighScores.Entry(10).EntryScore, 200) << "the local table is unchanged";
  playDailyRun(90);
  EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), 150) << "a lower score leaves the best";
  playDailyRun(2400);
  EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), 2400);
  EXPECT_EQ(FileBytes(bests), "RIVOLTRA DAILY 1\n" + DateTextOf(Today()) + " 2400\n");

  // The next start reads it back; an ordinary race afterwards leaves it alone.
  runner_.reset();
  Start();
  OpenFromTheMainMenu();
  EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), 2400);
  Run("type \\e\ntick");
  Run("race 1\ntick 5");
  Game().Race.State.Score = 5000;
  FinishGame(Game());
  EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), 2400);
  EXPECT_EQ(FileBytes(bests), "RIVOLTRA DAILY 1\n" + DateTextOf(Today()) + " 2400\n");
}

// A damaged file is no crash: the screen shows no best, stderr says why, and the next daily run
// writes a whole new file.
TEST_F(DailyScreen, ADamagedBestsFileGivesNoBest) {
  const std::filesystem::path bests = folder_ / "Data" / "Save" / kDailyBestsFileName;
  for (const std::string& damaged :
       {std::string("RIVOLTRA DAILY 1\n2026-01-01 12x\n"), std::string("\xFF\xFE garbage"),
        std::string("RIVOLTRA DAILY 1\n2026-02-30 100\n"),
        std::string("RIVOLTRA DAILY 1\n2026-01-01 100\n2026-01-01 200\n"),
        std::string("RIVOLTRA DAILY 1\n2026-01-01 99999999999999999999\n")}) {
    SCOPED_TRACE(damaged);
    WriteBytes(bests, damaged);
    Start();
    testing::internal::CaptureStderr();
    OpenFromTheMainMenu();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("damaged"), std::string::npos) << said;
    EXPECT_EQ(Game().Daily.Bests->BestOf(Today()), std::nullopt);
    runner_.reset();
  }
}

TEST(DailyBestsFile, KeepsTheNewestDaysAndReadsBackWhatItWrote) {
  DailyBests bests;
  for (std::uint32_t day = 20000; day < 20000 + kDaysKept + 5; ++day) bests.Record(day, 100);
  EXPECT_EQ(bests.ScoreByDay.size(), kDaysKept);
  EXPECT_EQ(bests.ScoreByDay.begin()->first, 20005u);
  EXPECT_FALSE(bests.Record(20010, 50));
  EXPECT_TRUE(bests.Record(20010, 150));
  const std::optional<DailyBests> read = ParseDailyBests(DailyBestsFileText(bests));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->ScoreByDay, bests.ScoreByDay);
  EXPECT_EQ(ParseDailyBests("RIVOLTRA DAILY 1\r\n2026-01-01 5\r\n")->BestOf(20454), 5);
}

}  // namespace
}  // namespace rivoltra
