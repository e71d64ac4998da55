// Where a game's end leads.
#include "app/game.h"
#include "app/race_recording.h"
#include "app/screens.h"

namespace rivoltra {

namespace {

void EndReplayPlayback(Game& game) {
  game.Replay.Playing = false;
  if (game.Replay.QuitAtEnd) game.Terminated = true;
  ShowMainMenu(game, true, MenuEntryModes::ShowHighScores);
}

}  // namespace

void ShowAfterGame(Game& game) {
  if (game.Replay.Playing) {
    EndReplayPlayback(game);
    return;
  }
  EndRaceRecording(game);
  KeepOwnBest(game);
  RecordDailyScore(game);
  // A daily run always gets its name entry: sending it is how it reaches the day's table.
  if (game.Daily.RaceDay || ScoreQualifies(game.HighScores, game.Race.State.Score)) {
    ShowNameEntry(game);
  } else {
    ShowMainMenu(game, true, MenuEntryModes::ShowHighScores);
  }
}

}  // namespace rivoltra
