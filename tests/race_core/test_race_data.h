#pragma once

#include "race/core/race_data.h"

namespace rivoltra::testing {

// A small picture table close to the game's own: 40 x 70 cars, 100 x 40 walls, 30 x 30 pick-ups,
// 28 px roadside signs, traffic cars like the player's, a 450 px finish line; a timer of 25 ms.
inline RaceData SmallRaceData() {
  RaceData data;
  data.IntervalMs = 25;
  for (int car = 1; car <= kCarCount; ++car) data.Cars[static_cast<std::size_t>(car)] = {40, 70, 1};
  for (int kind = 1; kind <= kKindCount; ++kind) {
    PictureSize size{30, 30, 4};
    if (kind <= 2) size = {kind == 1 ? 50 : 100, 40, 1};
    if (kind >= 17 && kind <= 22) size = {28, 90, 1};
    if (kind >= 23 && kind <= 34) size = {40, 70, 2};
    if (kind == 35) size = {445, 20, 1};
    data.Kinds[static_cast<std::size_t>(kind)] = size;
  }
  data.ExplosionSmall = {48, 48, 8};
  data.ExplosionBig = {64, 64, 10};
  return data;
}

}  // namespace rivoltra::testing
