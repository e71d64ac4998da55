#include "app/race_scene/spawning.h"

#include "app/game.h"
#include "app/race_scene/track_object.h"
#include "race/core/track_objects.h"

namespace rivoltra {

void ShowSpawnedObject(Game& game, std::int32_t slot) {
  RaceRecord& race = game.race;
  const auto index = static_cast<std::size_t>(slot);
  FreeObjectSprite(game, slot);
  race.Slots[index] = new TrackObjectSprite(&game.Sprites.Engine(), game, race.Objects[index]);
  race.SlotUsed[index] = true;
}

void FreeObjectSprite(Game& game, std::int32_t slot) {
  RaceRecord& race = game.race;
  const auto index = static_cast<std::size_t>(slot);
  delete race.Slots[index];
  race.Slots[index] = nullptr;
  race.SlotUsed[index] = false;
}

void FollowObjects(Game& game) {
  RaceRecord& race = game.race;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (race.Slots[index] != nullptr) race.Slots[index]->Follow(race.Objects[index]);
  }
}

TrackObject* SpawnAndShowObject(Game& game, ObjectKind kind, std::optional<std::int32_t> lane) {
  RaceRecord& race = game.race;
  RaceEvents events;
  race.Random = game.Random;
  const std::int32_t slot = rivoltra::SpawnObject(race, race.Data, kind, events, lane);
  game.Random = race.Random;
  if (slot == 0) return nullptr;
  ShowSpawnedObject(game, slot);
  return &race.Objects[static_cast<std::size_t>(slot)];
}

void ClearTrackObjects(Game& game) {
  RaceRecord& race = game.race;
  RaceEvents events;
  rivoltra::ClearSlots(race, events);
  for (int slot = 1; slot <= kSlotCount; ++slot) FreeObjectSprite(game, slot);
}

}  // namespace rivoltra
