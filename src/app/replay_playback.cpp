#include "app/replay_playback.h"

#include "app/game.h"
#include "app/race_recording.h"
#include "app/race_scene/race.h"
#include "app/screens.h"
#include "race/core/race_simulation.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr char kEscape = 27;
constexpr int kLabelX = layout::kLaneEdge[1] + 14;
constexpr int kLabelY = 10;

}  // namespace

std::string ReplayMismatch(const Replay& replay, std::uint64_t ours) {
  const ReplayHeader& header = replay.Header;
  if (header.GameVersion != GameVersion()) {
    return "This replay was recorded by Rivoltra " + header.GameVersion +
           " and cannot be played by Rivoltra " + GameVersion() + ".";
  }
  if (header.DataFingerprint != ours) {
    return "This replay was recorded with other game data (" +
           FingerprintText(header.DataFingerprint) + ", this game has " + FingerprintText(ours) +
           ") and cannot be played back.";
  }
  if (header.Car < 1 || header.Car > kChoosableCars) {
    return "This replay names car " + std::to_string(header.Car) + ", which does not exist.";
  }
  return {};
}

std::string StartReplayPlayback(Game& game, const Replay& replay, bool quitAtEnd) {
  if (std::string mismatch = ReplayMismatch(replay, RaceDataFingerprintOf(game));
      !mismatch.empty()) {
    return mismatch;
  }
  ReplaySession& session = game.Replay;
  session.Ticks = ExpandTicks(replay);
  session.NextTick = 0;
  session.RanOut = false;
  session.Paused = false;
  session.FastForward = false;
  session.Playing = true;
  session.QuitAtEnd = quitAtEnd;
  session.StartRandomState = replay.Header.RandomState;
  StartGameWithCar(game, replay.Header.Car);
  return {};
}

bool ReplayPlaybackOver(const Game& game) {
  const ReplaySession& session = game.Replay;
  return !session.Playing || session.RanOut;
}

void DrawReplayLabel(Game& game) {
  const ReplaySession& session = game.Replay;
  game.Text.SelectMediumFont();
  const char* label = session.Paused        ? "REPLAY  PAUSED"
                      : session.FastForward ? "REPLAY  X4"
                                            : "REPLAY";
  WriteText(game, label, kLabelX, kLabelY);
}

bool PlaybackCharacterTyped(Game& game, char key) {
  ReplaySession& session = game.Replay;
  if (!session.Playing) return false;
  switch (key) {
    case 'p':
    case 'P':
      session.Paused = !session.Paused;
      // The race stands still while paused: the last picture is shown again with the new label.
      if (game.ScreenState == GameScreen::Race) FlipFrame(game);
      return true;
    case 'f':
    case 'F':
      session.FastForward = !session.FastForward;
      return true;
    case kEscape:
      // The replay window closes; a replay watched within the game returns to its menu.
      if (session.QuitAtEnd) {
        game.Terminated = true;
      } else if (game.ScreenState == GameScreen::Race) {
        FinishGame(game);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace rivoltra
