#include "replay_verifier.h"

#include <vector>

#include "app/game.h"
#include "app/replay_playback.h"
#include "engine/image_list.h"
#include "persist/replay_actions.h"
#include "race/core/race_simulation.h"
#include "race/race_data_images.h"
#include "system/file_names.h"

namespace rivoltra::replay_tool {

namespace {

// The sizes and frame counts the rules read, from the race pictures' archive; nothing is drawn,
// so no display is needed.
RaceData RaceDataFromFolder(const std::filesystem::path& dataFolder) {
  ImageList raceImages;
  raceImages.Items().LoadArchive(Utf8FromPath(dataFolder / "Res" / "Res3.gfx"));
  return RaceDataFromImages(raceImages, kFrameInterval);
}

Verdict Simulate(const Replay& replay, const RaceData& data) {
  Verdict verdict;
  RaceSimulation simulation(data, replay.Header.Car, replay.Header.RandomState);
  for (const ReplayRun& run : replay.Runs) {
    const RaceTickInput input{ActionStatesOf(run.Tick.ActionBits),
                              static_cast<std::int32_t>(run.Tick.LagCount)};
    for (std::uint32_t i = 0; i < run.Length && !simulation.Ended(); ++i) simulation.Tick(input);
  }
  const RaceState& state = simulation.State();
  verdict.Score = state.Score;
  verdict.Level = state.Level;
  verdict.Ticks = static_cast<std::uint32_t>(simulation.TickCount());
  const ReplayTrailer& trailer = replay.Trailer;
  if (!simulation.Ended()) {
    verdict.Reason = "the game goes on after the recorded ticks";
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
  const RaceData data = RaceDataFromFolder(dataFolder);
  if (std::string mismatch = ReplayMismatch(replay, RaceDataFingerprint(data)); !mismatch.empty()) {
    Verdict verdict;
    verdict.Reason = std::move(mismatch);
    return verdict;
  }
  return Simulate(replay, data);
}

}  // namespace rivoltra::replay_tool
