#include "race/car.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "app/game.h"
#include "race/explosion.h"
#include "race/race.h"
#include "race/race_input.h"
#include "race/race_sprites.h"
#include "race/road.h"
#include "race/track_kinds.h"
#include "race/track_object.h"
#include "ui/caption_sprite.h"

namespace rivoltra {

namespace {

constexpr std::array<CarDrivingValues, 11> kCarTable = {{
    {},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboRed"},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboBlue"},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboYellow"},
    {Sevenths(125), 0.1, 0.2, 1.8, 12, Sevenths(150), 0.2, "TurboRed"},
    {},
    {},
    {},
    {},
    {},
    {},
}};

// Off road without the brake key the car only rolls out.
constexpr double kRollOutDecel = 0.05;
constexpr double kGunFireFramesPerSecond = 35;
constexpr double kTurboFireFramesPerSecond = 15;
// The gun looks this far up the road.
constexpr double kGunRange = 10000;
constexpr int kHitsToDestroy = 3;
constexpr int kTrafficKillPoints = 20;
constexpr int kWallKillPoints = 10;

// States 1 and -1 are never set; they drive like 0.
bool DrivesFreely(std::int32_t motionState) {
  return motionState == 0 || motionState == 1 || motionState == -1;
}

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

const CarDrivingValues& CarTable(std::int32_t car) {
  if (car < 1 || car > 10) throw std::out_of_range("car number " + std::to_string(car));
  return kCarTable[static_cast<std::size_t>(car)];
}

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

void TMyCarSprite::Accelerate() {
  double& speed = game_.race.Speed;
  if (ControlsEnabled && speed < MaxSpeed) speed += Acceleration;
}

void TMyCarSprite::Brake(bool brakeKeyHeld, bool offRoad) {
  const double step = offRoad && !brakeKeyHeld ? kRollOutDecel : BrakeDecel;
  if (!ControlsEnabled) return;
  double& speed = game_.race.Speed;
  if (speed < 0.1) {
    speed = 0;
  } else {
    speed -= step;
  }
}

void TMyCarSprite::SteerLeft() {
  if (ControlsEnabled) X -= std::min(game_.race.Speed / SteerDivisor, SteerMax);
}

void TMyCarSprite::SteerRight() {
  if (ControlsEnabled) X += std::min(game_.race.Speed / SteerDivisor, SteerMax);
}

bool TMyCarSprite::IsOffRoad() const { return X + Width / 3.0 < LaneEdge[1]; }

void TMyCarSprite::SetFlameVisible(bool on) {
  if (game_.race.TurboActive && game_.race.BonusFlame != nullptr)
    game_.race.BonusFlame->Visible = on;
}

void TMyCarSprite::Advance(int lag) {
  game_.MInput.Update();
  TImageSprite::Advance(lag);
  if (DrivesFreely(MotionState) || MotionState == kSlowingDown) SteeringKeys();
  if (DrivesFreely(MotionState)) SpeedKeys();
  OffRoadRule();
  Slide();
  if (SlideDistance < 0) {
    MotionState = kDrivingFreely;
    SlideDistance = 0;
  }
  SlowDown();
  if (MotionState == kDrivingFreely && StunTime > 0) {
    StunTime -= RaceInterval(game_) / 1000.0;
    if (StunTime <= 0) StunTime = 0;
  }
  ClampX();
  if (game_.race.GunActive || game_.race.TurboActive) PlaceBonusSprites(game_);
}

void TMyCarSprite::SteeringKeys() {
  if (!game_.race.RaceRunning) return;
  const InputStates& states = game_.MInput.States();
  if (IsHeld(states, RaceAction::SteerLeft)) {
    SteerLeft();
  } else if (IsHeld(states, RaceAction::SteerRight)) {
    SteerRight();
  }
}

void TMyCarSprite::SpeedKeys() {
  const double speed = game_.race.Speed;
  if (!(speed > MaxSpeed)) SetFlameVisible(false);
  if (speed > CarTable(carNumber_).MaxSpeed) SetFlameVisible(true);
  if (StunTime != 0 || !game_.race.RaceRunning) return;
  const InputStates& states = game_.MInput.States();
  if (IsHeld(states, RaceAction::Accelerate)) {
    Accelerate();
    SetFlameVisible(true);
  }
  if (IsHeld(states, RaceAction::Brake)) Brake(true, IsOffRoad());
}

void TMyCarSprite::OffRoadRule() {
  const RaceRecord& race = game_.race;
  if (race.FinishPhase == kRacing && IsOffRoad() && !race.Punctured) {
    // Halved once: the normal copies remember what to come back to.
    if (MaxSpeed == NormalMaxSpeed && Acceleration == NormalAcceleration) {
      NormalMaxSpeed = MaxSpeed;
      NormalAcceleration = Acceleration;
      MaxSpeed /= 2;
      Acceleration /= 2;
    }
    if (race.Speed > MaxSpeed) {
      MotionState = kSlowingDown;
      TargetSpeed = MaxSpeed;
    }
    return;
  }
  if (MaxSpeed != NormalMaxSpeed && Acceleration != NormalAcceleration) {
    MaxSpeed = NormalMaxSpeed;
    Acceleration = NormalAcceleration;
    if (MotionState == kSlowingDown && race.FinishPhase == kRacing) {
      MotionState = kDrivingFreely;
      TargetSpeed = MaxSpeed;
    }
  }
}

void TMyCarSprite::Slide() {
  if (MotionState != kSlidingRight && MotionState != kSlidingLeft) return;
  const double speed = game_.race.Speed;
  const bool toTheRight = MotionState == kSlidingRight;
  if (speed == 0) MotionState = kDrivingFreely;
  SlideDistance -= speed / SteerDivisor;
  if (toTheRight) {
    SteerRight();
  } else {
    SteerLeft();
  }
  if (game_.race.Speed > TargetSpeed) {
    Brake(false, IsOffRoad());
  } else {
    MotionState = kDrivingFreely;
  }
}

void TMyCarSprite::SlowDown() {
  if (MotionState != kSlowingDown) return;
  SetFlameVisible(false);
  double& speed = game_.race.Speed;
  if (speed > TargetSpeed) Brake(IsHeld(game_.MInput.States(), RaceAction::Brake), IsOffRoad());
  if (!(speed > TargetSpeed)) MotionState = kDrivingFreely;
  if (speed < 0) speed = 0;
}

void TMyCarSprite::ClampX() {
  if (X < kCarMinX) X = kCarMinX;
  const double rightmost = LaneEdge[4] - Width;
  if (X > rightmost) X = rightmost;
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
