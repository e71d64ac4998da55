#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "race/core/race_data.h"
#include "race/core/race_simulation.h"
#include "race/core/race_state.h"
#include "race/core/tick_input.h"

namespace rivoltra {

// Pixels driven since the game's start: every finished level's length and this level's distance
// (at most the level's length). A level begun again after the time ran out starts from its own
// start, so the figure can go back.
double RaceProgress(const RaceState& race);

// A recorded race driven again beside the player's: its own simulation, state and generator,
// seeded as the recording was, fed the recorded input one tick at a time. Nothing it does is
// seen by the player's race; its events (sounds, banners) are dropped.
class GhostRun {
 public:
  // Throws std::invalid_argument as RaceSimulation does for a car or data it cannot run.
  GhostRun(const RaceData& data, std::int32_t car, std::uint32_t randomState,
           std::vector<RaceTickInput> ticks);

  // The next recorded tick. A pause or finish prompt of the recording is driven through at once,
  // so the ghost never stands waiting for a key its player pressed long ago.
  void Step();
  // Its game ended (game over, finish) or its recorded ticks ran out.
  bool Over() const { return simulation_.Ended() || next_ >= ticks_.size(); }
  const RaceState& State() const { return simulation_.State(); }
  // Recorded ticks driven so far.
  std::int64_t TicksRun() const { return simulation_.TickCount(); }

 private:
  void StepOnce();

  RaceSimulation simulation_;
  std::vector<RaceTickInput> ticks_;
  std::size_t next_ = 0;
};

}  // namespace rivoltra
