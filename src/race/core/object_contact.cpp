#include "race/core/object_contact.h"

#include <algorithm>
#include <cmath>

#include "race/core/road.h"

namespace rivoltra {

namespace {

constexpr double kHitSpeedLoss = Sevenths(50);
constexpr double kSpikeTargetSpeed = Sevenths(25);
constexpr double kSpikeStunSeconds = 10;
constexpr std::int32_t kRabbitPenalty = 100;
constexpr double kCrashStunSeconds = 2;
// Above this speed a wall crashes the car; at or below it the car only stops.
constexpr double kWallCrashSpeed = Sevenths(75);
constexpr double kWallStunSeconds = 2;
// Traffic hit with a speed difference above this crashes the car.
constexpr double kTrafficCrashDifference = Sevenths(25);

void WaterSlide(const RaceState& race, CarDriving& car, std::int32_t lane,
                RandomGenerator& random) {
  const std::uint32_t side = random.Next(2);
  car.TargetSpeed = race.Speed > kHitSpeedLoss ? race.Speed - kHitSpeedLoss : race.Speed;
  if (lane == 1) {
    car.MotionState = CarMotion::SlidingRight;
    car.SlideDistance = LaneWidth(1);
  } else if (lane == 4) {
    car.MotionState = CarMotion::SlidingLeft;
    car.SlideDistance = LaneWidth(3);
  } else if (side == 0) {
    car.MotionState = CarMotion::SlidingLeft;
    car.SlideDistance = LaneWidth(lane - 1);
  } else {
    car.MotionState = CarMotion::SlidingRight;
    car.SlideDistance = LaneWidth(lane);
  }
}

// Below its slowdown a stone keeps the old target speed.
void StoneHit(const RaceState& race, CarDriving& car, double slowdown) {
  if (race.Speed > slowdown) car.TargetSpeed = race.Speed - slowdown;
  car.MotionState = CarMotion::SlowingDown;
}

ContactResult Points(RaceState& race, std::int32_t points) {
  race.Score += points;
  return {true, "ScoreGet", true};
}

}  // namespace

bool CrashCar(RaceState& race, CarDriving& car) {
  if (race.Lives < 1) return false;
  race.Lives -= 1;
  race.Speed = 0;
  car.ControlsEnabled = false;
  car.TargetSpeed = 0;
  car.MotionState = CarMotion::DrivingFreely;
  car.StunTime = kCrashStunSeconds;
  car.BonusSeconds = 0;
  race.CrashPending = true;
  return true;
}

bool WallHit(RaceState& race, CarDriving& car) {
  if (race.Speed <= kWallCrashSpeed) {
    car.StunTime = kWallStunSeconds;
    race.Punctured = false;
    race.Speed = 0;
    return false;
  }
  return CrashCar(race, car);
}

bool TrafficHit(RaceState& race, CarDriving& car, double trafficOwnSpeed) {
  bool crashed = false;
  if (std::abs(-trafficOwnSpeed - race.Speed) > kTrafficCrashDifference) {
    crashed = CrashCar(race, car);
  }
  if (race.Speed > kHitSpeedLoss) race.Speed -= kHitSpeedLoss;
  return crashed;
}

ContactResult TouchObject(RaceState& race, CarDriving& car, ObjectKind kind, std::int32_t lane,
                          RandomGenerator& random) {
  using enum ObjectKind;
  switch (kind) {
    case Spike10:
      car.TargetSpeed = kSpikeTargetSpeed;
      car.StunTime = kSpikeStunSeconds;
      car.MotionState = CarMotion::SlowingDown;
      race.Punctured = true;
      return {true, "Spike", false};
    case Water10:
    case Water05:
      WaterSlide(race, car, lane, random);
      return {true, "Water", false};
    case Stone05:
      StoneHit(race, car, Sevenths(50));
      return {true, "Stone", false};
    case StoneSmall05:
      StoneHit(race, car, Sevenths(20));
      return {true, nullptr, false};
    case Crack:
      StoneHit(race, car, Sevenths(10));
      return {true, nullptr, false};
    case Rabbit:
      race.Score = std::max(0, race.Score - kRabbitPenalty);
      return {true, "Rabbit", true};
    case Bonus10:
      return Points(race, 10);
    case Bonus20:
      return Points(race, 20);
    case Bonus50:
      return Points(race, 50);
    case Bonus100:
      return Points(race, 100);
    case BonusLive:
      race.Lives += 1;
      return {true, "ScoreGet", true};
    default:
      return {};
  }
}

}  // namespace rivoltra
