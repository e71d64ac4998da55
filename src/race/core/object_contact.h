#pragma once

#include "race/core/car_motion.h"
#include "race/core/race_state.h"
#include "race/core/track_kinds.h"

namespace rivoltra {

// What touching a hazard or a score pick-up did, for the view to show.
struct ContactResult {
  // The kind is one of those handled here; walls, traffic and the gun and turbo pick-ups are not.
  bool Handled = false;
  SoundId Sound = SoundId::None;
  // The object is picked up and goes at the next clean-up.
  bool Remove = false;
};

// The car touched an object of the kind standing in the lane: spikes, water, stones, the crack,
// the rabbit, the score bonuses and the extra life act on the race and the car here. Water draws
// the side of its slide from the race's generator.
ContactResult TouchObject(RaceState& race, CarDriving& car, ObjectKind kind, std::int32_t lane);

// A life lost to a crash: the car stops, its controls and bonus seconds go, and a stun starts.
// Returns false, changing nothing, at 0 lives.
bool CrashCar(RaceState& race, CarDriving& car);
// A wall hit: at or below the crash speed the car only stops for a stun, faster it crashes.
// Returns whether it crashed.
bool WallHit(RaceState& race, CarDriving& car);
// A traffic car hit: a speed difference above the limit crashes the car; either way a fast car
// loses speed. Returns whether it crashed.
bool TrafficHit(RaceState& race, CarDriving& car, double trafficOwnSpeed);

}  // namespace rivoltra
