// Which run the ghost drives: the own best of the course kept in the save folder, the day's
// leader from the server in the daily run, nothing when ghosts are off or a replay is watched;
// a damaged or foreign file is passed over with a message, never a crash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/leader_ghost.h"
#include "app/race_recording.h"
#include "formats/daily_course.h"
#include "formats/replay_file.h"
#include "persist/best_replays.h"
#include "persist/online.h"
#include "runner/script_runner.h"
#include "support/scratch_game_folder.h"
#include "system/save_file.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

constexpr char kDate[] = "2026-12-10";

class GhostChoice : public ::testing::Test {
 protected:
  GhostChoice() : folder_("ghost-choice", Settings{}), runner_(discard_) { runner_.Start(); }

  Game& game() { return runner_.game(); }
  fs::path BestFolder() { return game().paths.SaveFile(kBestReplayFolderName); }

  void Run(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) runner_.Execute(line);
  }
  // A short game driven to its end through the finish prompt: the start, `gasTicks` ticks with
  // the accelerator held, then Escape and Yes.
  void PlayShortGame(const std::string& start, int gasTicks) {
    Run({start, "tick 120", "down Up", "tick " + std::to_string(gasTicks), "up Up", "down Escape",
         "tick 1", "up Escape", "tick 5", "down Y", "tick 1", "up Y", "tick 10"});
    ASSERT_NE(game().ScreenState, GameScreen::Race);
  }
  void LeaveToMenu() {
    // The name entry of a game that made the table is left without a name.
    if (game().ScreenState == GameScreen::NameEntry) Run({"type \\e", "tick 5"});
  }
  std::string StartAndWatchGhost(const std::string& start) {
    Run({start, "tick 2"});
    return game().ghost.Run ? "ghost" : "none";
  }
  // Past the start banner, during which the finish key does nothing.
  void EndRace() {
    Run({"tick 120", "down Escape", "tick 1", "up Escape", "tick 5", "down Y", "tick 1", "up Y",
         "tick 10"});
    LeaveToMenu();
  }

  testsupport::ScratchGameFolder folder_;
  std::ostringstream discard_;
  ScriptRunner runner_;
};

TEST_F(GhostChoice, AFinishedGameBecomesTheGhostOfItsCarOnly) {
  PlayShortGame("race 2", 300);
  const std::string bytes = CurrentReplayBytes(game());
  LeaveToMenu();
  EXPECT_EQ(ReadSaveFile(BestReplayPath(BestFolder(), {2, std::nullopt})), bytes);

  ASSERT_EQ(StartAndWatchGhost("race 2"), "ghost");
  EXPECT_EQ(game().ghost.Kind, GhostKind::OwnBest);
  EXPECT_EQ(game().ghost.Run->State().Car.Number, 2);
  EndRace();
  EXPECT_EQ(StartAndWatchGhost("race 3"), "none");
  EndRace();

  game().preferences.GhostCars = false;
  EXPECT_EQ(StartAndWatchGhost("race 2"), "none");
  EndRace();
  game().preferences.GhostCars = true;

  // A replay being watched has no ghost beside it.
  const fs::path watched = folder_.Path() / "watched.rvr";
  SaveReplayFile(watched, bytes);
  Run({"replay " + watched.string()});
  EXPECT_FALSE(game().ghost.Run.has_value());
}

TEST_F(GhostChoice, ABetterGameReplacesTheBestAndAWorseOneDoesNot) {
  const fs::path best = BestReplayPath(BestFolder(), {1, std::nullopt});
  PlayShortGame("race 1", 10);
  const Replay poor = ReadReplay(CurrentReplayBytes(game()), "poor");
  LeaveToMenu();
  EXPECT_EQ(LoadReplayFile(best), poor);

  // The autopilot's game through several levels, its name entered at the end.
  const char* root = std::getenv("RIVOLTRA_SOURCE_DIR");
  std::ifstream script(std::string(root != nullptr ? root : ".") +
                       "/tests/golden/autopilot-car1.script");
  ASSERT_TRUE(script) << "run from ctest, which names the source folder";
  for (std::string line; std::getline(script, line);) {
    if (line != "quit") runner_.Execute(line);
  }
  const Replay good = ReadReplay(CurrentReplayBytes(game()), "good");
  ASSERT_GT(good.Trailer.Score, poor.Trailer.Score);
  EXPECT_EQ(LoadReplayFile(best).Header, good.Header);
  EXPECT_EQ(LoadReplayFile(best).Trailer.Score, good.Trailer.Score);

  PlayShortGame("race 1", 10);
  LeaveToMenu();
  EXPECT_EQ(LoadReplayFile(best).Trailer.Score, good.Trailer.Score);
}

TEST_F(GhostChoice, DamagedForeignAndOtherDataBestsAreNotRaced) {
  PlayShortGame("race 1", 200);
  const std::string bytes = CurrentReplayBytes(game());
  LeaveToMenu();
  const fs::path best = BestReplayPath(BestFolder(), {1, std::nullopt});
  Replay otherData = ReadReplay(bytes, "recorded");
  otherData.Header.DataFingerprint ^= 1;
  ReplayRecorder recorder;
  recorder.Begin(otherData.Header);
  for (const ReplayTick& tick : ExpandTicks(otherData)) recorder.AddTick(tick.ActionBits, 1);
  struct Case {
    const char* what;
    std::string file;
    const char* message;
  };
  const Case cases[] = {
      {"damaged", bytes.substr(0, bytes.size() / 2), "not used as a ghost"},
      {"not a replay", "hello", "not used as a ghost"},
      {"another course's", "", "another course"},
      {"other game data", recorder.Finish(otherData.Trailer), "other game data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.file.empty()) {
      fs::copy_file(best, BestReplayPath(BestFolder(), {3, std::nullopt}),
                    fs::copy_options::overwrite_existing);
    } else {
      WriteSaveFile(best, c.file);
    }
    ::testing::internal::CaptureStderr();
    const std::string seen = StartAndWatchGhost(c.file.empty() ? "race 3" : "race 1");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(seen, "none");
    EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    EndRace();
  }
}

// The daily run races the day's leader when its replay came in before the start; a reply that
// is no table, no replay, or another day's run leaves the own best of the day.
TEST_F(GhostChoice, TheDailyRunRacesTheDaysLeaderWhenItCameIn) {
  const std::uint32_t day = *DayOfDateText(kDate);
  PlayShortGame(std::string("daily ") + kDate, 400);
  const std::string leaderBytes = CurrentReplayBytes(game());
  LeaveToMenu();
  ASSERT_TRUE(ReadSaveFile(BestReplayPath(BestFolder(), {0, day})).has_value());
  PlayShortGame("race 4", 10);
  const std::string otherBytes = CurrentReplayBytes(game());
  LeaveToMenu();

  game().online.ServerBase = "http://scores.test";
  FakeHttp& http = runner_.platform().Http();
  const std::string table = "OK|daily|" + std::string(kDate) + "|1|\nLEADER|NL|4120|42|\n";
  struct Case {
    const char* what;
    std::optional<std::string> table;
    std::optional<std::string> replay;
    GhostKind expected;
  };
  const Case cases[] = {
      {"the leader's replay", table, leaderBytes, GhostKind::DayLeader},
      {"no server", std::nullopt, std::nullopt, GhostKind::OwnBest},
      {"another day's table", "OK|daily|2026-12-09|1|\nLEADER|NL|4120|42|\n", leaderBytes,
       GhostKind::OwnBest},
      {"a damaged replay", table, leaderBytes.substr(1), GhostKind::OwnBest},
      {"another course's replay", table, otherBytes, GhostKind::OwnBest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    http.SetReply(DailyListAddress(game().online, day), c.table);
    http.SetReply(ReplayDownloadAddress(game().online, 42), c.replay);
    game().ghost.Leader = {};
    ::testing::internal::CaptureStderr();
    RequestLeaderGhost(game(), day);
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(StartAndWatchGhost(std::string("daily ") + kDate), "ghost");
    EXPECT_EQ(game().ghost.Kind, c.expected);
    EndRace();
  }
}

}  // namespace
}  // namespace rivoltra
