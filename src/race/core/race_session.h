#pragma once

#include <cstdint>

#include "race/core/race_data.h"
#include "race/core/race_events.h"
#include "race/core/race_state.h"
#include "race/core/tick_input.h"

namespace rivoltra {

// One race: the data it runs on and its state, whose generator is seeded once at the start and
// is the only generator the rules draw from until the race ends. The game holds one; the score
// server's check and any second car on the road run their own from a given seed.
struct RaceSession {
  RaceData Data;
  RaceState State;

  // A new game with the car on a fresh state, the generator seeded with `seed`: score 0, three
  // lives, level 1 with its start banner. Throws std::out_of_range for a car outside 1..10.
  RaceEvents Start(const RaceData& data, std::int32_t car, std::uint32_t seed);
  // One tick of the rules; nothing changes once the game has ended.
  RaceEvents Tick(const RaceTickInput& input);
};

}  // namespace rivoltra
