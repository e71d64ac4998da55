#pragma once

#include <cstdint>

#include "race/core/action_states.h"

namespace rivoltra {

// Everything the race rules read from outside in one tick: the player's actions and how many
// timer intervals the tick stands for. A recorded race is one of these per tick.
struct RaceTickInput {
  ActionStates Actions;
  std::int32_t LagCount = 1;
};

}  // namespace rivoltra
