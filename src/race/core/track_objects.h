#pragma once

#include <cstdint>
#include <optional>

#include "race/core/race_data.h"
#include "race/core/race_events.h"
#include "race/core/race_state.h"

namespace rivoltra {

// Frames per unit of lag for an animation of so many frames per second of game time.
double FramesPerLag(const RaceData& data, double framesPerSecond);

// Puts an object of the kind into the first free slot where it finds a free place; every try
// draws a new lane (unless one is given) and for traffic a new speed. Returns the slot, or 0 when
// no slot took it.
std::int32_t SpawnObject(RaceState& race, const RaceData& data, ObjectKind kind, RaceEvents& events,
                         std::optional<std::int32_t> lane = std::nullopt);
// Whether a new object with this box would stand too close to any object in a used slot.
bool OverlapsPlaced(const RaceState& race, double x, double y, int width, int height);
// Frees the object in the slot and takes it out of the move order.
void RemoveObject(RaceState& race, std::int32_t slot, RaceEvents& events);
// Frees every object.
void ClearSlots(RaceState& race, RaceEvents& events);
// Frees the objects that have finished: a hit animation at its end, off the screen, picked up,
// or a gun explosion at its end.
void RemoveFinishedObjects(RaceState& race, RaceEvents& events);
// Once per running tick while the car moves and the finish line is not yet placed: each kind
// of the level's set may spawn, with a chance growing with the speed.
void SpawnDecision(RaceState& race, const RaceData& data, RaceEvents& events);
// Switches the object to an explosion picture played once, so the clean-up frees it at its end.
void ShowExplosion(TrackObject& object, const RaceData& data, ObjectPicture picture,
                   double framesPerSecond);

// The move order: appending a created entry and taking a freed one out.
void AppendToMoveOrder(RaceState& race, std::int8_t entry);
void TakeFromMoveOrder(RaceState& race, std::int8_t entry);

}  // namespace rivoltra
