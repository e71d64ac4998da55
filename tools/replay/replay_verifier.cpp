#include "replay_verifier.h"

#include "app/app.h"
#include "app/game.h"
#include "app/replay_playback.h"
#include "platform/null/null_platform.h"

namespace rivoltra::replay_tool {

namespace {

// Frame ticks before the race's first tick (the playback starts from the main menu) and after
// its last (the end of the game is seen on the tick that ends it).
constexpr std::uint32_t kFrameTickMargin = 100;

Verdict Compare(const Game& game, const Replay& replay) {
  const ReplaySession& session = game.replay;
  Verdict verdict;
  verdict.Score = game.race.Score;
  verdict.Level = game.race.Level;
  verdict.Ticks = static_cast<std::uint32_t>(session.NextTick);
  const ReplayTrailer& trailer = replay.Trailer;
  if (session.Playing) {
    verdict.Reason = session.RanOut ? "the game goes on after the recorded ticks"
                                    : "the game did not reach its recorded ticks";
  } else if (verdict.Ticks != replay.TickCount) {
    verdict.Reason = "the game ended after " + std::to_string(verdict.Ticks) + " of " +
                     std::to_string(replay.TickCount) + " recorded ticks";
  } else if (trailer.TicksPlayed != replay.TickCount) {
    verdict.Reason = "the trailer's ticks played differ from the recorded ticks";
  } else if (verdict.Score != trailer.Score) {
    verdict.Reason = "score " + std::to_string(verdict.Score) + ", the replay claims " +
                     std::to_string(trailer.Score);
  } else if (verdict.Level != trailer.Level) {
    verdict.Reason = "level " + std::to_string(verdict.Level) + ", the replay claims " +
                     std::to_string(trailer.Level);
  }
  verdict.Valid = verdict.Reason.empty();
  return verdict;
}

}  // namespace

Verdict VerifyReplay(const Replay& replay, const std::filesystem::path& dataFolder) {
  NullPlatform platform;
  App app(platform);
  Game& game = app.State();
  game.paths.DataFolder = dataFolder;
  // Only the data's defaults are read: nothing of a player's saves takes part in the rules.
  game.paths.SaveFolder = dataFolder / "Save";
  app.Start();
  game.DrawingOff = true;
  game.settings.SoundEnabled = 0;
  if (const std::string mismatch = ReplayMismatch(game, replay); !mismatch.empty()) {
    Verdict verdict;
    verdict.Reason = mismatch;
    return verdict;
  }
  StartReplayPlayback(game, replay);
  const std::uint64_t frameTicks = static_cast<std::uint64_t>(replay.TickCount) + kFrameTickMargin;
  for (std::uint64_t tick = 0; tick < frameTicks && !ReplayPlaybackOver(game); ++tick) {
    platform.AdvanceClock(kFrameInterval);
    app.RunDueTicks(platform.Milliseconds());
  }
  return Compare(game, replay);
}

}  // namespace rivoltra::replay_tool
