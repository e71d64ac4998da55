#pragma once

#include <cstdint>

#include "race/core/race_data.h"
#include "race/core/race_events.h"
#include "race/core/race_state.h"
#include "race/core/tick_input.h"

namespace rivoltra {

// A new game with the car: score 0, three lives, level 1 with its start banner. Draws the car's
// start lane twice from race.Random (once for the new car, once for the level), as the game does.
// Throws std::out_of_range for a car outside 1..10.
RaceEvents StartRace(RaceState& race, const RaceData& data, std::int32_t car);

// The level's start: clock, car, road and objects reset, the start banner counting. Draws the
// car's start lane.
void StartLevel(RaceState& race, const RaceData& data, std::int32_t level, RaceEvents& events);
// Ends a running gun or turbo (the turbo's driving values go back to the car's own) and a
// puncture.
void EndBonus(RaceState& race, RaceEvents& events);

// One tick of the race rules: the banners, pause and the finish prompt, then while play is
// live the car, the objects in their move order with their contacts, the clock, the level's end,
// clean-up, respawn, spawning and the gun. Nothing but the state, the input and the data is
// read; after the game has ended nothing changes.
RaceEvents RaceTick(RaceState& race, const RaceTickInput& input, const RaceData& data);

}  // namespace rivoltra
