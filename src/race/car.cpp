#include "race/car.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "app/game.h"
#include "race/core/track_kinds.h"
#include "race/explosion.h"
#include "race/race.h"
#include "race/race_sprites.h"
#include "race/road.h"
#include "race/track_object.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {

constexpr double kGunFireFramesPerSecond = 35;
constexpr double kTurboFireFramesPerSecond = 15;
// The gun looks this far up the road.
constexpr double kGunRange = 10000;
constexpr int kHitsToDestroy = 3;
constexpr int kTrafficKillPoints = 20;
constexpr int kWallKillPoints = 10;

void StartBonus(Game& game, std::string_view iconImage, std::string_view flameImage,
                double flameFramesPerSecond) {
  RaceRecord& race = game.race;
  TMyCarSprite& car = *race.PlayerCar;
  car.BonusSeconds = kBonusSeconds;
  if (car.StunTime > 0) car.StunTime = 0;
  // A pick-up always follows the end of the other bonus; nothing of it may stay behind.
  FreeSprite(race.BonusIcon);
  FreeSprite(race.BonusFlame);
  race.BonusIcon = NewRaceCaption(game, iconImage);
  race.BonusFlame = NewRaceCaption(game, flameImage);
  race.BonusFlame->FrameLooped = true;
  race.BonusFlame->FrameSpeed = FramesPerLag(game, flameFramesPerSecond);
  race.BonusFlame->Visible = false;
}

}  // namespace

TMyCarSprite::TMyCarSprite(TSprite* parent, Game& game, std::int32_t carNumber)
    : TImageSprite(parent), game_(game), carNumber_(carNumber) {
  const CarDrivingValues& values = CarTable(carNumber);
  Image = &RaceImage(game, "Car" + std::to_string(carNumber));
  Width = Image->Width();
  Height = Image->Height();
  FrameCount = Image->PatternCount();
  FrameLooped = false;
  FramePos = 0;
  FrameSpeed = 0;
  MaxSpeed = values.MaxSpeed;
  Acceleration = values.Acceleration;
  BrakeDecel = values.BrakeDecel;
  SteerDivisor = values.SteerDivisor;
  SteerMax = values.SteerMax;
  NormalMaxSpeed = MaxSpeed;
  NormalAcceleration = Acceleration;
  PlaceInStartLane();
  Y = kCarBottom - Height;
  SetZ(3);
}

void TMyCarSprite::PlaceInStartLane() {
  const int lane = static_cast<int>(game_.Random.Next(3)) + 2;
  X = LaneCentredX(lane, Width);
}

bool TMyCarSprite::IsOffRoad() const { return rivoltra::IsOffRoad(CarPlace{X, Width}); }

void TMyCarSprite::SetFlameVisible(bool on) {
  if (game_.race.TurboActive && game_.race.BonusFlame != nullptr)
    game_.race.BonusFlame->Visible = on;
}

// The car steers by the tick's input, the same the rest of the race tick reads.
void TMyCarSprite::Advance(int lag) {
  TImageSprite::Advance(lag);
  const RaceRecord& race = game_.race;
  CarMoveContext context;
  context.Actions = race.TickActions;
  context.RaceRunning = race.RaceRunning;
  context.FinishPhase = race.FinishPhase;
  context.Punctured = race.Punctured;
  context.IntervalMs = RaceInterval(game_);
  context.BaseMaxSpeed = CarTable(carNumber_).MaxSpeed;
  CarPlace place{X, Width};
  const CarMoveResult result = MoveCar(*this, place, game_.race.Speed, context);
  X = place.X;
  if (result.FlameVisible.has_value()) SetFlameVisible(*result.FlameVisible);
  if (race.GunActive || race.TurboActive) PlaceBonusSprites(game_);
}

void PlaceBonusSprites(Game& game) {
  RaceRecord& race = game.race;
  TMyCarSprite* car = race.PlayerCar;
  TCaptionSprite* icon = race.BonusIcon;
  TCaptionSprite* flame = race.BonusFlame;
  if (car == nullptr || icon == nullptr || flame == nullptr) return;
  icon->X = car->X + (car->Width - icon->Width) / 2.0;
  if (race.TurboActive) {
    flame->X = icon->X + 2;
    icon->Y = car->Y + car->Height - icon->Height * 0.9;
    flame->Y = car->Y + car->Height + icon->Height * 0.1;
  } else if (race.GunActive) {
    flame->X = icon->X - 5;
    icon->Y = car->Y + car->Height * 0.3;
    flame->Y = icon->Y - flame->Height;
  }
  icon->SetZ(car->Z() + 1);
  flame->SetZ(car->Z() + 1);
}

void GunPickUp(Game& game) {
  StartBonus(game, "Gun", "GunFire", kGunFireFramesPerSecond);
  PlaceBonusSprites(game);
}

void TurboPickUp(Game& game) {
  TMyCarSprite& car = *game.race.PlayerCar;
  const CarDrivingValues& values = CarTable(car.CarNumber());
  car.MaxSpeed = car.NormalMaxSpeed = values.TurboMaxSpeed;
  car.Acceleration = car.NormalAcceleration = values.TurboAcceleration;
  StartBonus(game, values.TurboColour, "TurboFire", kTurboFireFramesPerSecond);
  PlaceBonusSprites(game);
}

void EndBonus(Game& game) {
  RaceRecord& race = game.race;
  TMyCarSprite* car = race.PlayerCar;
  if (race.TurboActive && car != nullptr) {
    const CarDrivingValues& values = CarTable(car->CarNumber());
    car->MaxSpeed = car->NormalMaxSpeed = values.MaxSpeed;
    car->Acceleration = car->NormalAcceleration = values.Acceleration;
    if (race.Speed > car->MaxSpeed) {
      car->MotionState = kSlowingDown;
      car->TargetSpeed = car->MaxSpeed;
    }
  }
  if (race.GunActive || race.TurboActive) {
    FreeSprite(race.BonusIcon);
    FreeSprite(race.BonusFlame);
  }
  if (race.Punctured && car != nullptr) car->StunTime = 0;
  race.GunActive = false;
  race.TurboActive = false;
  race.Punctured = false;
}

void FireGun(Game& game, bool fire) {
  RaceRecord& race = game.race;
  const auto hideSpark = [&race] {
    if (race.ShotSpark != nullptr) race.ShotSpark->Visible = false;
  };
  if (!race.GunActive || race.BonusFlame == nullptr || race.PlayerCar == nullptr) {
    hideSpark();
    StopSound(game, "Shot");
    return;
  }
  if (!race.BonusFlame->Visible && fire) PlaySound(game, "Shot");
  race.BonusFlame->Visible = fire;
  if (!fire) {
    hideSpark();
    StopSound(game, "Shot");
    return;
  }
  const TMyCarSprite& car = *race.PlayerCar;
  const double aimX = car.X + car.Width / 2.0;
  TWallSprite* target = nullptr;
  double targetDistance = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    TWallSprite* object = race.Slots[static_cast<std::size_t>(slot)];
    if (!race.SlotUsed[static_cast<std::size_t>(slot)] || object == nullptr) continue;
    if (object->NotShootable || object->Exploding) continue;
    const double distance = car.Y - object->Y;
    if (distance < 0 || distance > kGunRange) continue;
    if (!(object->X <= aimX && aimX <= object->X + object->Width)) continue;
    // On equal distance the later slot wins.
    if (target == nullptr || distance <= targetDistance) {
      target = object;
      targetDistance = distance;
    }
  }
  if (target == nullptr) {
    hideSpark();
    return;
  }
  if (race.ShotSpark != nullptr) {
    race.ShotSpark->X = aimX;
    race.ShotSpark->Y = target->Y;
    race.ShotSpark->Visible = true;
  }
  target->Hits += 1;
  if (target->Hits >= kHitsToDestroy) {
    ExplodeObject(game, *target);
    if (target->IsTraffic) {
      race.Score += kTrafficKillPoints;
    } else if (IsWallKind(target->Kind)) {
      race.Score += kWallKillPoints;
    }
  }
}

}  // namespace rivoltra
