// The car's move on its own: the keys, the off-road halving, slides, slowing down and the stun,
// with the car's values from the car table and a made-up width.
#include "race/core/car_motion.h"

#include <gtest/gtest.h>

#include "race/core/road.h"

namespace rivoltra {
namespace {

constexpr int kCarWidth = 40;

class CarMotionTest : public ::testing::Test {
 protected:
  CarMotionTest() {
    const CarDrivingValues& values = CarTable(1);
    car.MaxSpeed = car.NormalMaxSpeed = values.MaxSpeed;
    car.Acceleration = car.NormalAcceleration = values.Acceleration;
    car.BrakeDecel = values.BrakeDecel;
    car.SteerDivisor = values.SteerDivisor;
    car.SteerMax = values.SteerMax;
    place = {LaneCentredX(3, kCarWidth), kCarWidth};
    context.RaceRunning = true;
    context.IntervalMs = 33;
    context.BaseMaxSpeed = values.MaxSpeed;
  }

  CarMoveResult Move(std::initializer_list<RaceAction> held = {}) {
    context.Actions = ActionStates{};
    for (const RaceAction action : held) context.Actions.Set(action, true);
    return MoveCar(car, place, speed, context);
  }

  CarDriving car;
  CarPlace place;
  double speed = 0;
  CarMoveContext context;
};

TEST_F(CarMotionTest, AcceleratingClimbsByTheCarsStepUpToItsTopSpeedAndShowsTheFlame) {
  const CarMoveResult first = Move({RaceAction::Accelerate});
  EXPECT_DOUBLE_EQ(speed, 0.1);
  EXPECT_EQ(first.FlameVisible, true);
  for (int tick = 0; tick < 500; ++tick) Move({RaceAction::Accelerate});
  // The last step may overshoot by less than one step, never more.
  EXPECT_GE(speed, 125.0 / 7);
  EXPECT_LT(speed, 125.0 / 7 + 0.1);
  // Below top speed and without the key the flame is asked to go out.
  speed = 5;
  EXPECT_EQ(Move().FlameVisible, false);
  // Above the car's own top speed (the turbo's) it burns without the key.
  speed = 125.0 / 7 + 1;
  car.MaxSpeed = car.NormalMaxSpeed = 150.0 / 7;
  EXPECT_EQ(Move().FlameVisible, true);
}

TEST_F(CarMotionTest, NothingMovesWhileTheRaceIsFrozenOrTheControlsAreOff) {
  speed = 5;
  const double x = place.X;
  context.RaceRunning = false;
  Move({RaceAction::Accelerate, RaceAction::SteerLeft});
  EXPECT_EQ(speed, 5);
  EXPECT_EQ(place.X, x);
  context.RaceRunning = true;
  car.ControlsEnabled = false;
  Move({RaceAction::Brake, RaceAction::SteerRight});
  EXPECT_EQ(speed, 5);
  EXPECT_EQ(place.X, x);
}

TEST_F(CarMotionTest, SteeringIsSpeedOverTheDivisorCappedAndLeftWinsOverRight) {
  const struct {
    double speed;
    double step;
  } cases[] = {{9, 5}, {18, 10}, {25, 12}};
  for (const auto& c : cases) {
    speed = c.speed;
    place.X = 300;
    car.MaxSpeed = car.NormalMaxSpeed = 30;
    Move({RaceAction::SteerLeft, RaceAction::SteerRight});
    EXPECT_DOUBLE_EQ(place.X, 300 - c.step) << c.speed;
  }
}

TEST_F(CarMotionTest, TheRoadEdgesHoldTheCar) {
  speed = 18;
  for (int tick = 0; tick < 60; ++tick) Move({RaceAction::SteerLeft});
  EXPECT_EQ(place.X, kCarMinX);
  for (int tick = 0; tick < 60; ++tick) Move({RaceAction::SteerRight});
  EXPECT_EQ(place.X, LaneEdge[4] - kCarWidth);
}

TEST(CarOffRoad, MeansTheLeftThirdOfTheCarOnTheGroundStrip) {
  const double edge = LaneEdge[1] - kCarWidth / 3.0;
  EXPECT_FALSE(IsOffRoad(CarPlace{edge, kCarWidth}));
  EXPECT_TRUE(IsOffRoad(CarPlace{edge - 0.5, kCarWidth}));
}

TEST_F(CarMotionTest, OffRoadHalvesTopSpeedOnceAndTheRoadRestoresIt) {
  speed = 125.0 / 7;
  place.X = LaneEdge[0];
  Move();
  EXPECT_DOUBLE_EQ(car.MaxSpeed, 125.0 / 14);
  EXPECT_DOUBLE_EQ(car.Acceleration, 0.05);
  EXPECT_EQ(car.MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(car.TargetSpeed, 125.0 / 14);
  // Slowing down off road without the brake key only rolls out; with it the car brakes.
  double before = speed;
  Move();
  EXPECT_NEAR(speed, before - 0.05, 1e-9);
  EXPECT_DOUBLE_EQ(car.MaxSpeed, 125.0 / 14) << "halved only once";
  before = speed;
  Move({RaceAction::Brake});
  EXPECT_NEAR(speed, before - 0.2, 1e-9);
  // Back on the road both values return at once and the slowing ends.
  place.X = LaneCentredX(3, kCarWidth);
  Move();
  EXPECT_DOUBLE_EQ(car.MaxSpeed, 125.0 / 7);
  EXPECT_DOUBLE_EQ(car.Acceleration, 0.1);
  EXPECT_EQ(car.MotionState, CarMotion::DrivingFreely);
  // A punctured car is not slowed by the strip.
  context.Punctured = true;
  place.X = LaneEdge[1] - kCarWidth;
  Move();
  EXPECT_DOUBLE_EQ(car.MaxSpeed, 125.0 / 7);
}

TEST_F(CarMotionTest, ASlideMovesTheCarSidewaysUntilItsDistanceIsUsed) {
  speed = 9;
  car.TargetSpeed = 2;
  car.MotionState = CarMotion::SlidingRight;
  car.SlideDistance = 10;
  const double x = place.X;
  Move({RaceAction::SteerLeft});
  // The keys do nothing in a slide: the car goes right by speed / divisor and brakes.
  EXPECT_DOUBLE_EQ(place.X, x + 5);
  EXPECT_DOUBLE_EQ(speed, 9 - 0.2);
  EXPECT_EQ(car.MotionState, CarMotion::SlidingRight);
  Move();
  Move();
  EXPECT_EQ(car.MotionState, CarMotion::DrivingFreely);
  EXPECT_EQ(car.SlideDistance, 0);
}

TEST_F(CarMotionTest, TheStunRunsDownByTheIntervalOnlyWhileDrivingFreely) {
  car.StunTime = 0.05;
  speed = 0;
  Move({RaceAction::Accelerate});
  EXPECT_EQ(speed, 0) << "the accelerator does nothing while stunned";
  EXPECT_DOUBLE_EQ(car.StunTime, 0.05 - 0.033);
  car.MotionState = CarMotion::SlowingDown;
  car.TargetSpeed = 0;
  speed = 1;
  Move();
  EXPECT_EQ(car.MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(car.StunTime, 0.05 - 0.033);
  car.MotionState = CarMotion::DrivingFreely;
  Move();
  EXPECT_EQ(car.StunTime, 0);
}

}  // namespace
}  // namespace rivoltra
