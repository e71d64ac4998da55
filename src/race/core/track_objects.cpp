#include "race/core/track_objects.h"

#include <cmath>

#include "race/core/road.h"

namespace rivoltra {

namespace {

// The finish line is placed this far above the line the car's top edge is on, less 600.
constexpr double kFinishLineTop = -35;
constexpr double kLoopFramesPerSecond = 5;
// Two objects closer than this vertically are never placed together.
constexpr double kMinimumVerticalGap = 10;
// The speed at which a kind's chance weight is its chance per tick.
constexpr double kFullChanceSpeed = 600;

bool Between(double low, double value, double high) { return low <= value && value <= high; }

const PictureSize& PictureOf(const RaceData& data, ObjectPicture picture, ObjectKind kind) {
  switch (picture) {
    case ObjectPicture::ExplosionSmall:
      return data.ExplosionSmall;
    case ObjectPicture::ExplosionBig:
      return data.ExplosionBig;
    case ObjectPicture::Own:
      break;
  }
  return data.Kinds[static_cast<std::size_t>(KindNumber(kind))];
}

// A new object as its constructor makes it: the draws, the box at the top edge and whether it
// found a free place.
TrackObject NewObject(RaceState& race, const RaceData& data, ObjectKind kind,
                      std::optional<std::int32_t> lane, bool& placed) {
  const TrackKind& info = KindInfo(kind);
  TrackObject object;
  object.Used = true;
  object.Kind = kind;
  object.NotShootable = !info.Shootable;
  // The ground strip is on the left, so only lanes 2..4 are drawn.
  object.Lane = static_cast<std::int32_t>(race.Random.Next(3)) + 1 + 1;
  object.IsTraffic = IsTrafficKind(kind);
  if (IsSameDirectionKind(kind)) {
    if (object.Lane != 3) object.Lane = 4;
    object.SameDirection = true;
    object.OwnSpeed = -(static_cast<double>(race.Random.Next(180)) + 20) / 14;
  } else if (object.IsTraffic) {
    if (object.Lane != 3) object.Lane = 2;
    object.SameDirection = false;
    object.OwnSpeed = (static_cast<double>(race.Random.Next(40)) + 20) / 14;
  }
  if (lane.has_value()) object.Lane = *lane;

  const PictureSize& picture = PictureOf(data, ObjectPicture::Own, kind);
  object.Width = picture.Width;
  object.Height = picture.Height;
  object.Y = -object.Height;
  placed = false;
  switch (info.Placement) {
    case KindPlacement::Lane:
      object.X = LaneCentredX(object.Lane, object.Width);
      break;
    case KindPlacement::LeftSide:
      object.X = kLeftSideX;
      break;
    case KindPlacement::RightSide:
      object.X = kRightSideX;
      break;
    case KindPlacement::FinishLine:
      object.X = kLaneEdge[1];
      object.Y = kFinishLineTop - race.Car.Height;
      placed = true;
      break;
  }
  if (!placed) placed = !OverlapsPlaced(race, object.X, object.Y, object.Width, object.Height);
  if (object.IsTraffic) {
    for (int other = 1; other <= kSlotCount; ++other) {
      const TrackObject& placedObject = race.Objects[static_cast<std::size_t>(other)];
      if (placedObject.Used && placedObject.IsTraffic && placedObject.Lane == object.Lane) {
        placed = false;
      }
    }
  }
  object.Frames.FrameCount = picture.FrameCount;
  object.Frames.Looped = true;
  object.Frames.Speed = FramesPerLag(data, kLoopFramesPerSecond);
  return object;
}

bool Finished(const TrackObject& object) {
  const double lastFrame = object.Frames.FrameCount - 1;
  const double framePos = object.Frames.Pos;
  const bool hitAnimationEnded = framePos == lastFrame && !object.CanCollide && framePos > 0;
  const bool gone =
      object.Y > kRoadScreenHeight || object.Y < -kRoadScreenHeight || object.RemoveNow;
  const bool explosionEnded = object.Exploding && framePos == lastFrame;
  return hitAnimationEnded || gone || explosionEnded;
}

}  // namespace

double FramesPerLag(const RaceData& data, double framesPerSecond) {
  return static_cast<std::uint32_t>(data.IntervalMs) / 1000.0 * framesPerSecond;
}

void AppendToMoveOrder(RaceState& race, std::int8_t entry) {
  race.MoveOrder[static_cast<std::size_t>(race.MoveOrderSize)] = entry;
  race.MoveOrderSize += 1;
}

void TakeFromMoveOrder(RaceState& race, std::int8_t entry) {
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < race.MoveOrderSize; ++i) {
    const std::int8_t current = race.MoveOrder[static_cast<std::size_t>(i)];
    if (current != entry) race.MoveOrder[static_cast<std::size_t>(kept++)] = current;
  }
  race.MoveOrderSize = kept;
}

std::int32_t SpawnObject(RaceState& race, const RaceData& data, ObjectKind kind, RaceEvents& events,
                         std::optional<std::int32_t> lane) {
  for (std::int32_t slot = 1; slot <= kSlotCount; ++slot) {
    TrackObject& target = race.Objects[static_cast<std::size_t>(slot)];
    if (target.Used) continue;
    bool placed = false;
    TrackObject object = NewObject(race, data, kind, lane, placed);
    if (!placed) continue;
    target = object;
    target.Slot = slot;
    AppendToMoveOrder(race, static_cast<std::int8_t>(slot));
    events.Add(RaceEventKind::ObjectSpawned, slot, KindNumber(kind));
    return slot;
  }
  return 0;
}

bool OverlapsPlaced(const RaceState& race, double x, double y, int width, int height) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const TrackObject& placed = race.Objects[static_cast<std::size_t>(slot)];
    if (!placed.Used) continue;
    const double left = placed.X;
    const double right = placed.X + placed.Width;
    const double top = placed.Y;
    const double bottom = placed.Y + placed.Height;
    if (std::abs(x - left) <= 0) return true;
    if (std::abs(y - top) <= kMinimumVerticalGap) return true;
    if (IsRoadsideKind(placed.Kind)) return true;
    if ((Between(left, x, right) || Between(left, x + width, right)) &&
        (Between(top, y, bottom) || Between(top, y + height, bottom))) {
      return true;
    }
    if ((Between(x, left, x + width) || Between(x, right, x + width)) &&
        (Between(y, top, y + height) || Between(y, bottom, y + height))) {
      return true;
    }
  }
  return false;
}

void RemoveObject(RaceState& race, std::int32_t slot, RaceEvents& events) {
  TrackObject& object = race.Objects[static_cast<std::size_t>(slot)];
  if (!object.Used) return;
  object = TrackObject{};
  TakeFromMoveOrder(race, static_cast<std::int8_t>(slot));
  events.Add(RaceEventKind::ObjectRemoved, slot);
}

void ClearSlots(RaceState& race, RaceEvents& events) {
  for (std::int32_t slot = 1; slot <= kSlotCount; ++slot) RemoveObject(race, slot, events);
}

void RemoveFinishedObjects(RaceState& race, RaceEvents& events) {
  for (std::int32_t slot = 1; slot <= kSlotCount; ++slot) {
    const TrackObject& object = race.Objects[static_cast<std::size_t>(slot)];
    if (object.Used && Finished(object)) RemoveObject(race, slot, events);
  }
}

void SpawnDecision(RaceState& race, const RaceData& data, RaceEvents& events) {
  const double speedFactor = race.Speed / kFullChanceSpeed;
  const std::int32_t first = KindNumber(FirstSpawnKind(race.Level));
  const std::int32_t last = KindNumber(LastSpawnKind(race.Level));
  for (std::int32_t kind = first; kind <= last; ++kind) {
    const double draw = race.Random.Fraction();
    if (race.SpawnChance[static_cast<std::size_t>(kind)] * speedFactor > draw) {
      SpawnObject(race, data, KindFromNumber(kind), events);
    }
  }
}

void ShowExplosion(TrackObject& object, const RaceData& data, ObjectPicture picture,
                   double framesPerSecond) {
  const PictureSize& size = PictureOf(data, picture, object.Kind);
  object.Picture = picture;
  object.Width = size.Width;
  object.Height = size.Height;
  object.Frames.FrameCount = size.FrameCount;
  object.Frames.Looped = false;
  object.Frames.Pos = 0;
  object.Frames.Speed = FramesPerLag(data, framesPerSecond);
}

}  // namespace rivoltra
