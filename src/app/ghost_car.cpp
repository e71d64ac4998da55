#include "app/ghost_car.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "app/game.h"
#include "app/race_recording.h"
#include "app/replay_playback.h"
#include "persist/replay_actions.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

void Complain(const std::string& message) {
  std::fprintf(stderr, "Rivoltra: %s\n", message.c_str());
}

std::filesystem::path BestReplayFolder(const Game& game) {
  return game.Paths.SaveFile(kBestReplayFolderName);
}

std::vector<RaceTickInput> TickInputsOf(const Replay& replay) {
  std::vector<RaceTickInput> inputs;
  inputs.reserve(replay.TickCount);
  for (const ReplayRun& run : replay.Runs) {
    const RaceTickInput input{ActionStatesOf(run.Tick.ActionBits),
                              static_cast<std::int32_t>(run.Tick.LagCount)};
    inputs.insert(inputs.end(), run.Length, input);
  }
  return inputs;
}

struct ChosenGhost {
  Replay Recording;
  GhostKind Kind = GhostKind::OwnBest;
};

std::optional<ChosenGhost> ChooseGhost(const Game& game, const BestRunCourse& course) {
  if (game.Ghost.Given) return ChosenGhost{*game.Ghost.Given, GhostKind::Given};
  if (course.DailyDay) {
    if (const Replay* leader = LeaderGhostOf(game, *course.DailyDay)) {
      return ChosenGhost{*leader, GhostKind::DayLeader};
    }
  }
  std::string problem;
  std::optional<Replay> best = LoadBestReplay(BestReplayFolder(game), course, problem);
  if (!problem.empty()) Complain(problem);
  if (!best) return std::nullopt;
  // A best kept by another version or with other data would drive another race than it did.
  if (const std::string mismatch = GhostMismatch(game, *best); !mismatch.empty()) {
    Complain("the best run of this course is not raced as a ghost: " + mismatch);
    return std::nullopt;
  }
  return ChosenGhost{std::move(*best), GhostKind::OwnBest};
}

}  // namespace

std::string GhostMismatch(const Game& game, const Replay& replay) {
  return ReplayMismatch(replay, RaceDataFingerprintOf(game));
}

void StartGhost(Game& game, const BestRunCourse& course) {
  GhostCar& ghost = game.Ghost;
  ghost.Course = course;
  ghost.Run.reset();
  if (!game.Preferences.GhostCars || game.Replay.Playing) return;
  std::optional<ChosenGhost> chosen = ChooseGhost(game, course);
  if (!chosen) return;
  // Every chosen run names a car that can be chosen (GhostMismatch, ReplayOfCourse) and the
  // race's data has its interval, so the simulation starts without refusing.
  const ReplayHeader& header = chosen->Recording.Header;
  ghost.Run.emplace(game.Race.Data, header.Car, header.RandomState,
                    TickInputsOf(chosen->Recording));
  ghost.Kind = chosen->Kind;
}

void StepGhost(Game& game) {
  GhostCar& ghost = game.Ghost;
  if (!ghost.Run) return;
  const RaceState& race = game.Race.State;
  if (race.Paused || race.FinishPrompt) return;
  ghost.Run->Step();
}

void DropGhost(Game& game) { game.Ghost.Run.reset(); }

void KeepOwnBest(Game& game) {
  const ReplaySession& session = game.Replay;
  if (session.Playing || !session.Recording || !session.Finished) return;
  const std::string bytes = CurrentReplayBytes(game);
  if (bytes.empty()) return;
  try {
    const Replay replay = ReadReplay(bytes, "the finished game");
    KeepBestReplay(BestReplayFolder(game), game.Ghost.Course, replay, bytes);
  } catch (const ReplayError& error) {
    Complain(error.what());
  } catch (const SaveFileError& error) {
    Complain(error.what());
  }
}

}  // namespace rivoltra
