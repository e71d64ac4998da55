#pragma once

#include <cstdint>
#include <string_view>

#include "engine/sprite_image.h"

namespace rivoltra {

struct Game;

// One row of the car table: the driving values of a car and of its turbo.
struct CarDrivingValues {
  double MaxSpeed;
  double Acceleration;
  double BrakeDecel;
  double SteerDivisor;
  double SteerMax;
  double TurboMaxSpeed;
  double TurboAcceleration;
  std::string_view TurboColour;
};

// Cars 1..10; only 1..4 can be chosen, the rest hold zeros (their pictures serve as traffic).
// Throws std::out_of_range outside 1..10.
const CarDrivingValues& CarTable(std::int32_t car);

// MotionState values.
enum CarMotion : std::int32_t {
  kDrivingFreely = 0,
  kSlowingDown = -3,
  kSlidingRight = 2,
  kSlidingLeft = -2,
};

// The player's car: a fixed height near the bottom of the screen, moving only sideways. Forward
// motion is the race's Speed, by which everything else scrolls down.
class TMyCarSprite : public TImageSprite {
 public:
  // Picture "Car" + number from the race list, driving values from the car table, a random
  // start lane. Throws std::out_of_range for a number outside 1..10.
  TMyCarSprite(TSprite* parent, Game& game, std::int32_t carNumber);

  void Advance(int lag) override;

  // Lanes 2..4, centred.
  void PlaceInStartLane();
  void Accelerate();
  // The step is the gentle off-road roll-out when off road without the brake key, else the
  // car's brake deceleration.
  void Brake(bool brakeKeyHeld, bool offRoad);
  void SteerLeft();
  void SteerRight();
  // The left third of the car is on the off-road strip.
  bool IsOffRoad() const;
  // Acts only while the turbo is on: the flame belongs to the turbo.
  void SetFlameVisible(bool on);

  std::int32_t CarNumber() const { return carNumber_; }

  bool ControlsEnabled = true;
  std::int32_t BonusSeconds = 0;
  double Acceleration = 0;
  double BrakeDecel = 0;
  double SteerDivisor = 0;
  double SteerMax = 0;
  double MaxSpeed = 0;
  double NormalMaxSpeed = 0;
  double NormalAcceleration = 0;
  std::int32_t MotionState = kDrivingFreely;
  double SlideDistance = 0;
  // Seconds; while above 0 the accelerate and brake keys do nothing.
  double StunTime = 0;
  double TargetSpeed = 0;

 private:
  void SteeringKeys();
  void SpeedKeys();
  void OffRoadRule();
  void Slide();
  void SlowDown();
  void ClampX();

  Game& game_;
  std::int32_t carNumber_;
};

// The gun and turbo sprites on the car follow it.
void PlaceBonusSprites(Game& game);
// Seconds a gun or turbo lasts from its pick-up; a second pick-up of the same bonus restarts them.
inline constexpr std::int32_t kBonusSeconds = 10;

// Called after GunActive or TurboActive has been set by a pick-up: ten seconds of bonus and the
// bonus sprites on the car; the turbo also raises the car's top speed and acceleration, and their
// normal copies, to its own values.
void GunPickUp(Game& game);
void TurboPickUp(Game& game);
// The gun, once per running tick: hits the nearest shootable object on the aim line while fire
// is held.
void FireGun(Game& game, bool fire);

}  // namespace rivoltra
