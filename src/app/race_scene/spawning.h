#pragma once

#include <cstdint>
#include <optional>

#include "race/core/race_events.h"
#include "race/core/race_state.h"

namespace rivoltra {

struct Game;

// Places an object of the kind through the race rules' own spawn (the game's generator draws
// the lane and the traffic speed) and shows it. Returns the object in the race state, or null
// when no slot took it.
TrackObject* SpawnAndShowObject(Game& game, ObjectKind kind,
                                std::optional<std::int32_t> lane = std::nullopt);
// Frees every object and its sprite.
void ClearTrackObjects(Game& game);

// The sprites of objects the rules spawned or freed.
void ShowSpawnedObject(Game& game, std::int32_t slot);
void FreeObjectSprite(Game& game, std::int32_t slot);
// Every object sprite as the race state has its object.
void FollowObjects(Game& game);

}  // namespace rivoltra
