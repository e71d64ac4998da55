#pragma once

#include <cstdint>

namespace rivoltra {

// The global values of one race: speed, level, score, lives, clock, the bonus flags and the 30
// object slots. One record per game object; a race set-up fills it.
struct RaceRecord {
  // Pixels per tick; the road, the objects and the background move down by it. 0 outside races.
  double Speed = 0;
  // The car picked on the car-choice screen, 1..4.
  std::int32_t CarChoice = 1;
};

}  // namespace rivoltra
