// A whole game driven through the runner is recorded; the recording plays the same game again,
// and a replay changed in any way that matters does not pass as the game it claims to be.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/race_recording.h"
#include "formats/replay_file.h"
#include "persist/entry_replays.h"
#include "replay_verifier.h"
#include "runner/script_runner.h"
#include "support/scratch_game_folder.h"
#include "system/save_file.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;
using replay_tool::Verdict;
using replay_tool::VerifyReplay;

// An autopilot game through four levels with crashes, bonuses and the gun, ended with the finish
// prompt and a name entered into the table.
constexpr char kGameScript[] = "tests/golden/autopilot-car1.script";

std::string SourceFile(const std::string& relative) {
  const char* root = std::getenv("RIVOLTRA_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/" + relative;
}

std::string ReadAll(const fs::path& path) { return ReadSaveFile(path).value_or(""); }

// The replay with its ticks changed, encoded again so that it is a well-formed file.
Replay Reencoded(const Replay& replay, const std::function<void(std::vector<ReplayTick>&)>& edit) {
  std::vector<ReplayTick> ticks = ExpandTicks(replay);
  edit(ticks);
  ReplayRecorder recorder;
  recorder.Begin(replay.Header);
  for (const ReplayTick& tick : ticks) recorder.AddTick(tick.ActionBits, tick.LagCount);
  return ReadReplay(recorder.Finish(replay.Trailer), "edited");
}

class RecordedGame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<testsupport::ScratchGameFolder>("recorded-game", Settings{});
    std::ifstream script(SourceFile(kGameScript));
    ASSERT_TRUE(script) << kGameScript;
    std::ostringstream discard;
    runner_ = std::make_unique<ScriptRunner>(discard);
    runner_->Start();
    for (std::string line; std::getline(script, line);) {
      if (line != "quit") runner_->Execute(line);
    }
    const Game& game = runner_->Game();
    finalScore_ = game.Race.State.Score;
    finalLevel_ = game.Race.State.Level;
    bytes_ = CurrentReplayBytes(game);
    replay_ = ReadReplay(bytes_, "recorded");
  }
  static void TearDownTestSuite() {
    runner_.reset();
    folder_.reset();
  }

  static fs::path DataFolder() { return folder_->Path() / "Data"; }
  static fs::path SaveFile(const std::string& name) { return DataFolder() / "Save" / name; }

  static inline std::unique_ptr<testsupport::ScratchGameFolder> folder_;
  static inline std::unique_ptr<ScriptRunner> runner_;
  static inline std::int32_t finalScore_ = 0;
  static inline std::int32_t finalLevel_ = 0;
  static inline std::string bytes_;
  static inline Replay replay_;
};

TEST_F(RecordedGame, TheWholeGameIsRecordedSavedAndVerified) {
  const ReplayTrailer& trailer = replay_.Trailer;
  EXPECT_EQ(trailer.Score, finalScore_);
  EXPECT_EQ(trailer.Level, finalLevel_);
  EXPECT_GE(finalLevel_, 2);
  EXPECT_EQ(trailer.TicksPlayed, replay_.TickCount);
  EXPECT_EQ(trailer.PlayerName, runner_->Game().Menu.PlayerName);
  EXPECT_FALSE(trailer.PlayerName.empty());
  EXPECT_EQ(replay_.Header.Car, 1);

  // The last game and the table entry's replay are the same bytes.
  EXPECT_EQ(ReadAll(SaveFile(kLastReplayFileName)), bytes_);
  EXPECT_EQ(ReadAll(EntryReplayPath(DataFolder() / "Save" / kEntryReplayFolderName,
                                    trailer.PlayerName, trailer.Score)),
            bytes_);

  // Well inside 8 KB for each minute of play at 30 ms a tick.
  const double minutes = replay_.TickCount * 30.0 / 60000.0;
  EXPECT_LT(bytes_.size() / minutes, 8192.0) << bytes_.size() << " bytes, " << minutes << " min";

  const Verdict verdict = VerifyReplay(replay_, DataFolder());
  EXPECT_TRUE(verdict.Valid) << verdict.Reason;
  EXPECT_EQ(verdict.Score, finalScore_);
  EXPECT_EQ(verdict.Level, finalLevel_);
  EXPECT_EQ(verdict.Ticks, replay_.TickCount);
}

TEST_F(RecordedGame, ChangedReplaysDoNotVerify) {
  struct Case {
    const char* What;
    std::function<Replay()> Make;
    const char* Reason;  // part of the verdict's reason; empty when any reason will do
  };
  const std::uint32_t middle = replay_.TickCount / 2;
  const Case cases[] = {
      {"a higher score in the trailer",
       [] {
         Replay edited = replay_;
         edited.Trailer.Score += 55;
         return edited;
       },
       "the replay claims"},
      {"the accelerator let go for ten seconds",
       [middle] {
         return Reencoded(replay_, [middle](std::vector<ReplayTick>& ticks) {
           for (std::uint32_t i = middle; i < middle + 333; ++i) ticks[i].ActionBits &= ~ReplayUp;
         });
       },
       ""},
      {"the last ticks cut off",
       [] {
         return Reencoded(replay_,
                          [](std::vector<ReplayTick>& ticks) { ticks.resize(ticks.size() - 100); });
       },
       "goes on after the recorded ticks"},
      {"another car",
       [] {
         Replay edited = replay_;
         edited.Header.Car = 3;
         return edited;
       },
       ""},
      {"other game data",
       [] {
         Replay edited = replay_;
         edited.Header.DataFingerprint ^= 1;
         return edited;
       },
       "other game data"},
      {"another game version",
       [] {
         Replay edited = replay_;
         edited.Header.GameVersion = "0.9";
         return edited;
       },
       "recorded by Rivoltra 0.9"},
  };
  for (const Case& c : cases) {
    const Verdict verdict = VerifyReplay(c.Make(), DataFolder());
    EXPECT_FALSE(verdict.Valid) << c.What;
    EXPECT_NE(verdict.Reason.find(c.Reason), std::string::npos) << c.What << ": " << verdict.Reason;
  }
}

TEST_F(RecordedGame, TheRunnerPlaysItBackWithoutReplacingThePlayersLastGame) {
  const fs::path file = folder_->Path() / "played.rvr";
  runner_->Execute("record " + file.string());
  EXPECT_EQ(ReadAll(file), bytes_);
  runner_->Execute("replay " + file.string());
  const Game& game = runner_->Game();
  EXPECT_FALSE(game.Replay.Playing);
  EXPECT_EQ(game.Race.State.Score, finalScore_);
  EXPECT_EQ(game.Race.State.Level, finalLevel_);
  EXPECT_EQ(game.ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(ReadAll(SaveFile(kLastReplayFileName)), bytes_);
}

}  // namespace
}  // namespace rivoltra
