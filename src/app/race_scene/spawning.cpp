#include "app/race_scene/spawning.h"

#include "app/game.h"
#include "app/race_scene/track_object.h"
#include "race/core/track_objects.h"

namespace rivoltra {

void ShowSpawnedObject(Game& game, std::int32_t slot) {
  RaceScene& scene = game.RaceScene;
  const auto index = static_cast<std::size_t>(slot);
  FreeObjectSprite(game, slot);
  scene.Slots[index] = new TrackObjectSprite(&game.Sprites.Engine(), game, slot);
}

void FreeObjectSprite(Game& game, std::int32_t slot) {
  RaceScene& scene = game.RaceScene;
  const auto index = static_cast<std::size_t>(slot);
  delete scene.Slots[index];
  scene.Slots[index] = nullptr;
}

void FollowObjects(Game& game) {
  RaceScene& scene = game.RaceScene;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (scene.Slots[index] != nullptr) scene.Slots[index]->Follow();
  }
}

TrackObject* SpawnAndShowObject(Game& game, ObjectKind kind, std::optional<std::int32_t> lane) {
  RaceSession& race = game.Race;
  RaceEvents events;
  const std::int32_t slot = rivoltra::SpawnObject(race.State, race.Data, kind, events, lane);
  if (slot == 0) return nullptr;
  ShowSpawnedObject(game, slot);
  return &race.State.Objects[static_cast<std::size_t>(slot)];
}

void ClearTrackObjects(Game& game) {
  RaceEvents events;
  rivoltra::ClearSlots(game.Race.State, events);
  for (int slot = 1; slot <= kSlotCount; ++slot) FreeObjectSprite(game, slot);
}

}  // namespace rivoltra
