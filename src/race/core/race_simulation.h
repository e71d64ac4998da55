#pragma once

#include <cstdint>

#include "race/core/race_data.h"
#include "race/core/race_events.h"
#include "race/core/race_session.h"
#include "race/core/race_state.h"
#include "race/core/tick_input.h"

namespace rivoltra {

// One game run by the race rules alone, without pictures, sound or screen: what a score server
// needs to check a recorded race. Given the same data, car, generator state at the race's start
// and inputs per tick, it ends with the same score, level and lives on the same tick as the game.
// The cars a player can choose.
inline constexpr std::int32_t kChoosableCars = 4;

class RaceSimulation {
 public:
  // Starts a new game with the car and the generator's state as it was when the game started
  // the race. Throws std::invalid_argument for a car outside 1..4 or an interval not above 0.
  RaceSimulation(const RaceData& data, std::int32_t car, std::uint32_t randomState);

  // One tick; does nothing once the game has ended.
  RaceEvents Tick(const RaceTickInput& input);

  const RaceState& State() const { return session_.State; }
  const RaceData& Data() const { return session_.Data; }
  // What the start of the race did (the engine sounds, level 1).
  const RaceEvents& StartEvents() const { return startEvents_; }
  // The game ended (game over, or the finish prompt's Yes); State().EndReason says which.
  bool Ended() const { return session_.State.Ended; }
  // Ticks run so far, the one that ended the game included.
  std::int64_t TickCount() const { return tickCount_; }

 private:
  RaceSession session_;
  RaceEvents startEvents_;
  std::int64_t tickCount_ = 0;
};

}  // namespace rivoltra
