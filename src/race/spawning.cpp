#include "race/spawning.h"

#include "app/game.h"
#include "race/core/track_kinds.h"
#include "race/track_object.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

// The speed at which a kind's chance weight is its chance per tick.
constexpr double kFullChanceSpeed = 600;
constexpr double kScreenHeight = layout::kScreenHeight;

bool Finished(const TWallSprite& object) {
  const double lastFrame = object.FrameCount - 1;
  const bool hitAnimationEnded =
      object.FramePos == lastFrame && !object.CanCollide && object.FramePos > 0;
  const bool gone = object.Y > kScreenHeight || object.Y < -kScreenHeight || object.RemoveNow;
  const bool explosionEnded = object.Exploding && object.FramePos == lastFrame;
  return hitAnimationEnded || gone || explosionEnded;
}

}  // namespace

TWallSprite* SpawnObject(Game& game, ObjectKind kind, std::optional<std::int32_t> lane) {
  RaceRecord& race = game.race;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (race.SlotUsed[index]) continue;
    auto* object = new TWallSprite(&game.MSpriteEngine.Engine(), game, slot, kind, lane);
    if (object->Placed) {
      race.Slots[index] = object;
      race.SlotUsed[index] = true;
      return object;
    }
    delete object;
  }
  return nullptr;
}

void ClearSlots(Game& game) {
  RaceRecord& race = game.race;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (race.SlotUsed[index]) delete race.Slots[index];
    race.Slots[index] = nullptr;
    race.SlotUsed[index] = false;
  }
}

void RemoveFinishedObjects(Game& game) {
  RaceRecord& race = game.race;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto index = static_cast<std::size_t>(slot);
    TWallSprite* object = race.Slots[index];
    if (race.SlotUsed[index] && object != nullptr && Finished(*object)) delete object;
  }
}

void FillSpawnChance(Game& game) { game.race.SpawnChance = SpawnChancesForLevel(game.race.Level); }

void SpawnDecision(Game& game) {
  RaceRecord& race = game.race;
  const double speedFactor = race.Speed / kFullChanceSpeed;
  const std::int32_t first = KindNumber(FirstSpawnKind(race.Level));
  const std::int32_t last = KindNumber(LastSpawnKind(race.Level));
  for (std::int32_t kind = first; kind <= last; ++kind) {
    const double draw = game.Random.Fraction();
    if (race.SpawnChance[static_cast<std::size_t>(kind)] * speedFactor > draw) {
      SpawnObject(game, KindFromNumber(kind));
    }
  }
}

}  // namespace rivoltra
