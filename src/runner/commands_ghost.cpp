// `ghost FILE`: every following race is run against the ghost of that replay file, whatever the
// course's own best or the day's leader; `ghost off` goes back to those. `state` shows a running
// ghost as "Ghost" (its level, distance, lane position, score, where it stands on the screen and
// whether its run is over); the field is left out while no ghost drives.
#include "app/game.h"
#include "app/ghost_view.h"
#include "formats/replay_file.h"
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterCommand kGhost("ghost", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 1, 1);
  Game& game = context.Game;
  if (args[0] == "off") {
    game.Ghost.Given.reset();
    return;
  }
  Replay replay;
  try {
    replay = LoadReplayFile(args[0]);
  } catch (const ReplayError& error) {
    throw ScriptError(error.what());
  }
  if (const std::string mismatch = GhostMismatch(game, replay); !mismatch.empty())
    throw ScriptError(mismatch);
  game.Ghost.Given = std::move(replay);
});

const RegisterStateSection kGhostState(90, [](RunnerContext& context, JsonWriter& json) {
  const Game& game = context.Game;
  if (!game.Ghost.Run || !game.RaceScene.Live()) return;
  const GhostRun& run = *game.Ghost.Run;
  const RaceState& ghost = run.State();
  const GhostPlacement place = PlaceGhost(game.Race.State, ghost);
  json.Key("Ghost")
      .BeginObject()
      .Field("Ticks", run.TicksRun())
      .Field("Level", ghost.Level)
      .Field("Distance", ghost.Distance)
      .Field("X", ghost.Car.X)
      .Field("Score", ghost.Score)
      .Field("Lives", ghost.Lives)
      .Field("ScreenY", place.Y)
      .Field("Lead", place.Lead)
      .Field("Over", run.Over())
      .EndObject();
});

}  // namespace

}  // namespace rivoltra
