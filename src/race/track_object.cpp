#include "race/track_object.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/game.h"
#include "race/car.h"
#include "race/core/object_contact.h"
#include "race/core/track_kinds.h"
#include "race/explosion.h"
#include "race/race.h"
#include "race/race_rules.h"
#include "race/race_sprites.h"
#include "race/road.h"

namespace rivoltra {

namespace {

// The finish line is placed this far above the line the car's top edge is on, less 600.
constexpr double kFinishLineTop = -35;
constexpr double kLoopFramesPerSecond = 5;
constexpr double kHitExplosionFramesPerSecond = 20;
constexpr double kGunExplosionFramesPerSecond = 10;
// Two objects closer than this vertically are never placed together.
constexpr double kMinimumVerticalGap = 10;

bool Between(double low, double value, double high) { return low <= value && value <= high; }

}  // namespace

TWallSprite::TWallSprite(TSprite* parent, Game& game, std::int32_t slot, ObjectKind kind,
                         std::optional<std::int32_t> lane)
    : TImageSprite(parent), game_(game) {
  const TrackKind& info = KindInfo(kind);
  RaceRecord& race = game.race;
  Slot = slot;
  Kind = kind;
  NotShootable = !info.Shootable;
  // The ground strip is on the left, so only lanes 2..4 are drawn.
  Lane = static_cast<std::int32_t>(game.Random.Next(3)) + 1 + 1;
  IsTraffic = IsTrafficKind(kind);
  if (IsSameDirectionKind(kind)) {
    if (Lane != 3) Lane = 4;
    SameDirection = true;
    OwnSpeed = -(static_cast<double>(game.Random.Next(180)) + 20) / 14;
  } else if (IsTraffic) {
    if (Lane != 3) Lane = 2;
    SameDirection = false;
    OwnSpeed = (static_cast<double>(game.Random.Next(40)) + 20) / 14;
  }
  if (lane.has_value()) Lane = *lane;

  Image = &RaceImage(game, info.Image);
  Width = Image->Width();
  Height = Image->Height();
  Y = -Height;
  SetZ(IsTraffic ? 3 : 2);
  switch (info.Placement) {
    case KindPlacement::Lane:
      X = LaneCentredX(Lane, Width);
      break;
    case KindPlacement::LeftSide:
      X = kLeftSideX;
      break;
    case KindPlacement::RightSide:
      X = kRightSideX;
      break;
    case KindPlacement::FinishLine:
      X = LaneEdge[1];
      Y = kFinishLineTop - (race.PlayerCar != nullptr ? race.PlayerCar->Height : 0);
      Placed = true;
      break;
  }
  if (!Placed) Placed = !OverlapsPlaced(game, X, Y, Width, Height);
  if (IsTraffic) {
    for (int other = 1; other <= kSlotCount; ++other) {
      const TWallSprite* object = race.Slots[static_cast<std::size_t>(other)];
      if (race.SlotUsed[static_cast<std::size_t>(other)] && object != nullptr &&
          object->IsTraffic && object->Lane == Lane) {
        Placed = false;
      }
    }
  }
  FrameCount = Image->PatternCount();
  FrameLooped = true;
  FrameSpeed = FramesPerLag(game, kLoopFramesPerSecond);
}

TWallSprite::~TWallSprite() {
  RaceRecord& race = game_.race;
  if (Slot < 1 || Slot > kSlotCount) return;
  const auto index = static_cast<std::size_t>(Slot);
  race.SlotUsed[index] = false;
  if (race.Slots[index] == this) race.Slots[index] = nullptr;
}

void TWallSprite::Advance(int lag) {
  TImageSprite::Advance(lag);
  CheckCollisions();
  Y += game_.race.Speed;
  if (IsTraffic) Y += OwnSpeed;
}

void TWallSprite::ShowExplosion(const char* imageName, double framesPerSecond) {
  Image = &RaceImage(game_, imageName);
  Width = Image->Width();
  Height = Image->Height();
  FrameCount = Image->PatternCount();
  FrameLooped = false;
  FramePos = 0;
  FrameSpeed = FramesPerLag(game_, framesPerSecond);
}

void TWallSprite::HandleCollision(TSprite& other, bool& /*done*/) {
  RaceRecord& race = game_.race;
  if (race.PlayerCar == nullptr || &other != race.PlayerCar) return;
  if (race.FinishPhase != kRacing && race.FinishPhase != kFinishLinePlaced) return;
  const TMyCarSprite& car = *race.PlayerCar;
  // The car must overlap the object by at least a tenth of the object's width.
  const double margin = 0.9 * Width;
  if (!(car.X - X <= margin && (X + Width) - (car.X + car.Width) <= margin)) return;
  if (Exploding) return;
  // Each object acts once.
  CanCollide = false;

  const ContactResult contact = TouchObject(race, *race.PlayerCar, Kind, Lane, game_.Random);
  if (contact.Handled) {
    if (contact.Sound != nullptr) PlaySound(game_, contact.Sound);
    if (contact.Remove) RemoveNow = true;
    return;
  }
  using enum ObjectKind;
  switch (Kind) {
    case Wall05:
      PlaySound(game_, "CarExplosion");
      WallCrash("ExplosionSmall");
      break;
    case Wall10:
      PlaySound(game_, "CarExplosion");
      WallCrash("ExplosionBig");
      break;
    case BonusGun:
      PickUpGun();
      break;
    case BonusTurbo:
      PickUpTurbo();
      break;
    default:
      if (IsTraffic) TrafficCrash();
      // Signs, side walls and the finish line do nothing.
      break;
  }
}

void TWallSprite::WallCrash(const char* explosionImage) {
  RaceRecord& race = game_.race;
  RemoveNow = false;
  ShowExplosion(explosionImage, kHitExplosionFramesPerSecond);
  race.CrashSlot = Slot;
  if (WallHit(race, *race.PlayerCar)) StartCrashExplosion(game_);
}

void TWallSprite::TrafficCrash() {
  RaceRecord& race = game_.race;
  RemoveNow = false;
  ShowExplosion("ExplosionBig", kHitExplosionFramesPerSecond);
  PlaySound(game_, "CarExplosion");
  race.CrashSlot = Slot;
  if (TrafficHit(race, *race.PlayerCar, OwnSpeed)) StartCrashExplosion(game_);
  OwnSpeed = 0;
}

void TWallSprite::PickUpGun() {
  RaceRecord& race = game_.race;
  PlaySound(game_, "BonusGet");
  if (race.GunActive) {
    race.PlayerCar->BonusSeconds = kBonusSeconds;
  } else {
    if (race.TurboActive) EndBonus(game_);
    race.GunActive = true;
    GunPickUp(game_);
  }
  RemoveNow = true;
}

void TWallSprite::PickUpTurbo() {
  RaceRecord& race = game_.race;
  PlaySound(game_, "BonusGet");
  if (race.TurboActive) {
    race.PlayerCar->BonusSeconds = kBonusSeconds;
  } else {
    if (race.GunActive) EndBonus(game_);
    race.TurboActive = true;
    TurboPickUp(game_);
  }
  RemoveNow = true;
}

void ExplodeObject(Game& game, TWallSprite& object) {
  PlaySound(game, "WallExplosion");
  object.ShowExplosion("ExplosionSmall", kGunExplosionFramesPerSecond);
  object.OwnSpeed = 0;
  object.Exploding = true;
}

bool OverlapsPlaced(const Game& game, double x, double y, int width, int height) {
  const RaceRecord& race = game.race;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const TWallSprite* placed = race.Slots[static_cast<std::size_t>(slot)];
    if (!race.SlotUsed[static_cast<std::size_t>(slot)] || placed == nullptr) continue;
    const double left = placed->X;
    const double right = placed->X + placed->Width;
    const double top = placed->Y;
    const double bottom = placed->Y + placed->Height;
    if (std::abs(x - left) <= 0) return true;
    if (std::abs(y - top) <= kMinimumVerticalGap) return true;
    if (IsRoadsideKind(placed->Kind)) return true;
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

}  // namespace rivoltra
