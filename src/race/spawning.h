#pragma once

#include <cstdint>
#include <optional>

#include "race/core/track_kinds.h"

namespace rivoltra {

struct Game;
class TWallSprite;

// Puts an object of the kind into the first free slot where it finds a free place; every try
// draws a new lane (unless one is given) and for traffic a new speed. Returns the object, or
// null when no slot took it.
TWallSprite* SpawnObject(Game& game, ObjectKind kind,
                         std::optional<std::int32_t> lane = std::nullopt);
// Frees every object and marks all slots free.
void ClearSlots(Game& game);
// Frees the objects that have finished: a hit animation at its end, off the screen, picked up,
// or a gun explosion at its end.
void RemoveFinishedObjects(Game& game);
// The chance weights for the level that starts.
void FillSpawnChance(Game& game);
// Once per running tick while the car moves and the finish line is not yet placed: each kind
// of the level's set may spawn, with a chance growing with the speed.
void SpawnDecision(Game& game);

}  // namespace rivoltra
