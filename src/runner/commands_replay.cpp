// `record FILE` writes the replay of the game in progress or of the last finished game;
// `replay FILE` plays a replay to its end (the game's end, or the end of its ticks), after
// which `state` shows where it ended.
#include "app/game.h"
#include "app/race_recording.h"
#include "app/replay_playback.h"
#include "formats/replay_file.h"
#include "runner/script_runner.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

// Ticks a replay may need beyond its own: the start-up frames before the race runs.
constexpr std::int64_t kPlaybackMargin = 1000;

const RegisterCommand kRecord("record", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 1, 1);
  const std::string bytes = CurrentReplayBytes(context.Game);
  if (bytes.empty()) throw ScriptError("no game has been recorded yet");
  try {
    SaveReplayFile(args[0], bytes);
  } catch (const SaveFileError& error) {
    throw ScriptError(error.what());
  }
});

const RegisterCommand kReplay("replay", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 1, 1);
  const GameScreen screen = context.Game.ScreenState;
  if (screen == GameScreen::Race || screen == GameScreen::RaceLoading)
    throw ScriptError("a race is already running");
  Replay replay;
  try {
    replay = LoadReplayFile(args[0]);
  } catch (const ReplayError& error) {
    throw ScriptError(error.what());
  }
  if (const std::string refused = StartReplayPlayback(context.Game, replay); !refused.empty())
    throw ScriptError(refused);
  Game& game = context.Game;
  AdvanceTicks(context, static_cast<std::int64_t>(replay.TickCount) + kPlaybackMargin,
               [&game] { return ReplayPlaybackOver(game); });
});

}  // namespace

}  // namespace rivoltra
