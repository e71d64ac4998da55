#include "race/core/ghost_run.h"

#include <algorithm>
#include <utility>

#include "race/core/level_clock.h"

namespace rivoltra {

double RaceProgress(const RaceState& race) {
  double progress = 0;
  for (std::int32_t level = 1; level < race.Level; ++level) progress += LevelLength(level);
  return progress + std::min<double>(race.Distance, LevelLength(race.Level));
}

GhostRun::GhostRun(const RaceData& data, std::int32_t car, std::uint32_t randomState,
                   std::vector<RaceTickInput> ticks)
    : simulation_(data, car, randomState), ticks_(std::move(ticks)) {}

void GhostRun::Step() {
  StepOnce();
  // Bounded by the recording: every turn of the loop uses up one of its ticks.
  while (!Over() && (State().Paused || State().FinishPrompt)) StepOnce();
}

void GhostRun::StepOnce() {
  if (Over()) return;
  simulation_.Tick(ticks_[next_++]);
}

}  // namespace rivoltra
