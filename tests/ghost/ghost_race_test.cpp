// Races against ghosts through the runner: the ghost drives its recording tick for tick and
// leaves the player's race exactly as it would have been without it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/race_recording.h"
#include "app/race_scene/race_sprites.h"
#include "formats/replay_file.h"
#include "persist/best_replays.h"
#include "persist/replay_actions.h"
#include "race/core/race_simulation.h"
#include "race/race_data_images.h"
#include "runner/script_runner.h"
#include "support/scratch_game_folder.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

std::string SourceFile(const std::string& relative) {
  const char* root = std::getenv("RIVOLTRA_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/" + relative;
}

std::vector<std::string> ScriptLines(const std::string& relative) {
  std::ifstream script(SourceFile(relative));
  std::vector<std::string> lines;
  for (std::string line; std::getline(script, line);) lines.push_back(line);
  return lines;
}

std::string Gunzipped(const std::string& relative) {
  gzFile file = gzopen(SourceFile(relative).c_str(), "rb");
  if (file == nullptr) return {};
  std::string text;
  char buffer[65536];
  for (int read; (read = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, read);
  gzclose(file);
  return text;
}

// The script with `ghost FILE` just before its race starts.
std::vector<std::string> WithGhost(std::vector<std::string> lines, const fs::path& ghost) {
  for (auto line = lines.begin(); line != lines.end(); ++line) {
    if (line->starts_with("race ")) {
      lines.insert(line, "ghost " + ghost.string());
      break;
    }
  }
  return lines;
}

// The runner's output of a whole script in a fresh game folder, as the golden traces are made.
std::string RunInFreshFolder(const std::vector<std::string>& lines) {
  testsupport::ScratchGameFolder folder("ghost-trace", Settings{});
  std::ostringstream out;
  ScriptRunner runner(out);
  runner.Start();
  for (const std::string& line : lines) {
    if (!runner.Execute(line)) break;
  }
  return out.str();
}

class GhostRace : public ::testing::Test {
 protected:
  // The ghost's recording: a whole autopilot game with car 3 through several levels, with crashes,
  // bonuses and a pause of its own.
  static void SetUpTestSuite() {
    testsupport::ScratchGameFolder folder("ghost-recording", Settings{});
    std::ostringstream discard;
    ScriptRunner runner(discard);
    runner.Start();
    for (const std::string& line : ScriptLines("tests/golden/autopilot-car3.script")) {
      if (line != "quit") runner.Execute(line);
    }
    bytes_ = CurrentReplayBytes(runner.Game());
    ghostFile_ =
        fs::temp_directory_path() / ("rivoltra-ghost-" + std::to_string(::getpid()) + ".rvr");
    SaveReplayFile(ghostFile_, bytes_);
  }
  static void TearDownTestSuite() { fs::remove(ghostFile_); }

  static inline std::string bytes_;
  static inline fs::path ghostFile_;
};

TEST_F(GhostRace, ThePlayersTraceIsTheGoldenTraceWithTheGhostOn) {
  const std::string traced =
      RunInFreshFolder(WithGhost(ScriptLines("tests/golden/autopilot-car1.script"), ghostFile_));
  // The ghost was there, and drove: its field is in the trace from the race's first state on.
  const std::regex ghostField(R"(,"Ghost":\{[^}]*\})");
  const auto shown = std::distance(std::sregex_iterator(traced.begin(), traced.end(), ghostField),
                                   std::sregex_iterator());
  EXPECT_GT(shown, 400);
  EXPECT_EQ(std::regex_replace(traced, ghostField, ""),
            Gunzipped("tests/golden/autopilot-car1.expected.gz"));
}

TEST_F(GhostRace, TheGhostDrivesItsRecordingTickForTick) {
  const Replay recording = ReadReplay(bytes_, "recording");
  testsupport::ScratchGameFolder folder("ghost-ticks", Settings{});
  std::ostringstream discard;
  ScriptRunner runner(discard);
  runner.Start();
  Game& game = runner.Game();
  const RaceData data = RaceDataFromImages(game.RaceImages, RaceInterval(game));
  RaceSimulation recorded(data, recording.Header.Car, recording.Header.RandomState);
  const std::vector<ReplayTick> ticks = ExpandTicks(recording);

  // The player's game (car 1, with pauses of its own) runs tick by tick beside the ghost.
  std::int64_t compared = 0;
  std::int64_t heldWhilePaused = 0;
  for (const std::string& line :
       WithGhost(ScriptLines("tests/golden/autopilot-car1.script"), ghostFile_)) {
    std::istringstream words(line);
    std::string command;
    std::int64_t count = 1;
    words >> command >> count;
    if (command != "tick") {
      runner.Execute(line);
      continue;
    }
    for (std::int64_t tick = 0; tick < count; ++tick) {
      const bool playerPaused = game.Race.State.Paused || game.Race.State.FinishPrompt;
      const std::int64_t before = game.Ghost.Run ? game.Ghost.Run->TicksRun() : 0;
      runner.Execute("tick");
      if (!game.Ghost.Run) continue;
      const GhostRun& ghost = *game.Ghost.Run;
      if (playerPaused && game.ScreenState == GameScreen::Race) {
        EXPECT_EQ(ghost.TicksRun(), before) << "the ghost drove on while the player paused";
        ++heldWhilePaused;
      }
      while (recorded.TickCount() < ghost.TicksRun()) {
        const ReplayTick& next = ticks.at(static_cast<std::size_t>(recorded.TickCount()));
        recorded.Tick({ActionStatesOf(next.ActionBits), static_cast<std::int32_t>(next.LagCount)});
      }
      const RaceState& seen = ghost.State();
      const RaceState& expected = recorded.State();
      ASSERT_EQ(seen.Car.X, expected.Car.X) << "at the ghost's tick " << ghost.TicksRun();
      ASSERT_EQ(seen.Distance, expected.Distance) << "at the ghost's tick " << ghost.TicksRun();
      ASSERT_EQ(seen.Level, expected.Level);
      ASSERT_EQ(seen.Score, expected.Score);
      ASSERT_EQ(seen.Lives, expected.Lives);
      // Its own pauses are driven through: a frame never shows it waiting for its key.
      ASSERT_FALSE(seen.Paused || seen.FinishPrompt) << "at the ghost's tick " << ghost.TicksRun();
      ++compared;
    }
  }
  EXPECT_GT(compared, 5000);
  EXPECT_GT(heldWhilePaused, 0);
}

}  // namespace
}  // namespace rivoltra
