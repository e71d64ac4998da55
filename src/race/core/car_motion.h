#pragma once

#include <cstdint>
#include <optional>

#include "race/core/action_states.h"
#include "race/core/car_table.h"
#include "race/core/level_end_phase.h"

namespace rivoltra {

// What the player's car is doing (CarDriving::MotionState).
enum class CarMotion : std::int32_t {
  DrivingFreely = 0,
  SlowingDown = -3,
  SlidingRight = 2,
  SlidingLeft = -2,
};

// The player's car as the race rules see it: its driving values (halved off road, raised by the
// turbo), what it is doing and the timers on it. Its place is a left edge and a width.
struct CarDriving {
  bool ControlsEnabled = true;
  std::int32_t BonusSeconds = 0;
  double Acceleration = 0;
  double BrakeDecel = 0;
  double SteerDivisor = 0;
  double SteerMax = 0;
  double MaxSpeed = 0;
  double NormalMaxSpeed = 0;
  double NormalAcceleration = 0;
  CarMotion MotionState = CarMotion::DrivingFreely;
  double SlideDistance = 0;
  // Seconds; while above 0 the accelerate and brake keys do nothing.
  double StunTime = 0;
  double TargetSpeed = 0;
};

// Where the car is: its left edge moves, its width comes from its picture.
struct CarPlace {
  double X = 0;
  int Width = 0;
};

// The rest of the race one car move reads.
struct CarMoveContext {
  ActionStates Actions;
  bool RaceRunning = false;
  // The level's end phase; off-road halving only applies while racing (phase 0).
  LevelEndPhase FinishPhase = LevelEndPhase::Racing;
  bool Punctured = false;
  // The frame timer's interval in milliseconds; the stun runs down by it.
  std::int32_t IntervalMs = 0;
  // The car's own top speed without the turbo; faster than that the turbo flame shows.
  double BaseMaxSpeed = 0;
};

// What one car move asks of the view: the turbo flame's last requested visibility, if any.
struct CarMoveResult {
  std::optional<bool> FlameVisible;
};

// One tick of the car: the steering and speed keys, the off-road rule, a slide, slowing down to
// the target speed, the stun and the road's edges. Speed is the race's speed, which the car sets.
CarMoveResult MoveCar(CarDriving& car, CarPlace& place, double& speed,
                      const CarMoveContext& context);

// The single steps, for the rules that act on the car from outside its move.
void Accelerate(const CarDriving& car, double& speed);
// The step is the gentle off-road roll-out when off road without the brake key, else the car's
// brake deceleration.
void Brake(const CarDriving& car, double& speed, bool brakeKeyHeld, bool offRoad);
void SteerLeft(const CarDriving& car, CarPlace& place, double speed);
void SteerRight(const CarDriving& car, CarPlace& place, double speed);
// The left third of the car is on the off-road strip.
bool IsOffRoad(const CarPlace& place);

}  // namespace rivoltra
