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
    car_.MaxSpeed = car_.NormalMaxSpeed = values.MaxSpeed;
    car_.Acceleration = car_.NormalAcceleration = values.Acceleration;
    car_.BrakeDecel = values.BrakeDecel;
    car_.SteerDivisor = values.SteerDivisor;
    car_.SteerMax = values.SteerMax;
    place_ = {LaneCentredX(3, kCarWidth), kCarWidth};
    context_.RaceRunning = true;
    context_.IntervalMs = 33;
    context_.BaseMaxSpeed = values.MaxSpeed;
  }

  CarMoveResult Move(std::initializer_list<RaceAction> held = {}) {
    context_.Actions = ActionStates{};
    for (const RaceAction action : held) context_.Actions.Set(action, true);
    return MoveCar(car_, place_, speed_, context_);
  }

  CarDriving car_;
  CarPlace place_;
  double speed_ = 0;
  CarMoveContext context_;
};

TEST_F(CarMotionTest, AcceleratingClimbsByTheCarsStepUpToItsTopSpeedAndShowsTheFlame) {
  const CarMoveResult first = Move({RaceAction::Accelerate});
  EXPECT_DOUBLE_EQ(speed_, 0.1);
  EXPECT_EQ(first.FlameVisible, true);
  for (int tick = 0; tick < 500; ++tick) Move({RaceAction::Accelerate});
  // The last step may overshoot by less than one step, never more.
  EXPECT_GE(speed_, 125.0 / 7);
  EXPECT_LT(speed_, 125.0 / 7 + 0.1);
  // Below top speed and without the key the flame is asked to go out.
  speed_ = 5;
  EXPECT_EQ(Move().FlameVisible, false);
  // Above the car's own top speed (the turbo's) it burns without the key.
  speed_ = 125.0 / 7 + 1;
  car_.MaxSpeed = car_.NormalMaxSpeed = 150.0 / 7;
  EXPECT_EQ(Move().FlameVisible, true);
}

TEST_F(CarMotionTest, NothingMovesWhileTheRaceIsFrozenOrTheControlsAreOff) {
  speed_ = 5;
  const double x = place_.X;
  context_.RaceRunning = false;
  Move({RaceAction::Accelerate, RaceAction::SteerLeft});
  EXPECT_EQ(speed_, 5);
  EXPECT_EQ(place_.X, x);
  context_.RaceRunning = true;
  car_.ControlsEnabled = false;
  Move({RaceAction::Brake, RaceAction::SteerRight});
  EXPECT_EQ(speed_, 5);
  EXPECT_EQ(place_.X, x);
}

TEST_F(CarMotionTest, SteeringIsSpeedOverTheDivisorCappedAndLeftWinsOverRight) {
  const struct {
    double Speed;
    double Step;
  } cases[] = {{9, 5}, {18, 10}, {25, 12}};
  for (const auto& c : cases) {
    speed_ = c.Speed;
    place_.X = 300;
    car_.MaxSpeed = car_.NormalMaxSpeed = 30;
    Move({RaceAction::SteerLeft, RaceAction::SteerRight});
    EXPECT_DOUBLE_EQ(place_.X, 300 - c.Step) << c.Speed;
  }
}

TEST_F(CarMotionTest, TheRoadEdgesHoldTheCar) {
  speed_ = 18;
  for (int tick = 0; tick < 60; ++tick) Move({RaceAction::SteerLeft});
  EXPECT_EQ(place_.X, kCarMinX);
  for (int tick = 0; tick < 60; ++tick) Move({RaceAction::SteerRight});
  EXPECT_EQ(place_.X, kLaneEdge[4] - kCarWidth);
}

TEST(CarOffRoad, MeansTheLeftThirdOfTheCarOnTheGroundStrip) {
  const double edge = kLaneEdge[1] - kCarWidth / 3.0;
  EXPECT_FALSE(IsOffRoad(CarPlace{edge, kCarWidth}));
  EXPECT_TRUE(IsOffRoad(CarPlace{edge - 0.5, kCarWidth}));
}

TEST_F(CarMotionTest, OffRoadHalvesTopSpeedOnceAndTheRoadRestoresIt) {
  speed_ = 125.0 / 7;
  place_.X = kLaneEdge[0];
  Move();
  EXPECT_DOUBLE_EQ(car_.MaxSpeed, 125.0 / 14);
  EXPECT_DOUBLE_EQ(car_.Acceleration, 0.05);
  EXPECT_EQ(car_.MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(car_.TargetSpeed, 125.0 / 14);
  // Slowing down off road without the brake key only rolls out; with it the car brakes.
  double before = speed_;
  Move();
  EXPECT_NEAR(speed_, before - 0.05, 1e-9);
  EXPECT_DOUBLE_EQ(car_.MaxSpeed, 125.0 / 14) << "halved only once";
  before = speed_;
  Move({RaceAction::Brake});
  EXPECT_NEAR(speed_, before - 0.2, 1e-9);
  // Back on the road both values return at once and the slowing ends.
  place_.X = LaneCentredX(3, kCarWidth);
  Move();
  EXPECT_DOUBLE_EQ(car_.MaxSpeed, 125.0 / 7);
  EXPECT_DOUBLE_EQ(car_.Acceleration, 0.1);
  EXPECT_EQ(car_.MotionState, CarMotion::DrivingFreely);
  // A punctured car is not slowed by the strip.
  context_.Punctured = true;
  place_.X = kLaneEdge[1] - kCarWidth;
  Move();
  EXPECT_DOUBLE_EQ(car_.MaxSpeed, 125.0 / 7);
}

TEST_F(CarMotionTest, ASlideMovesTheCarSidewaysUntilItsDistanceIsUsed) {
  speed_ = 9;
  car_.TargetSpeed = 2;
  car_.MotionState = CarMotion::SlidingRight;
  car_.SlideDistance = 10;
  const double x = place_.X;
  Move({RaceAction::SteerLeft});
  // The keys do nothing in a slide: the car goes right by speed / divisor and brakes.
  EXPECT_DOUBLE_EQ(place_.X, x + 5);
  EXPECT_DOUBLE_EQ(speed_, 9 - 0.2);
  EXPECT_EQ(car_.MotionState, CarMotion::SlidingRight);
  Move();
  Move();
  EXPECT_EQ(car_.MotionState, CarMotion::DrivingFreely);
  EXPECT_EQ(car_.SlideDistance, 0);
}

TEST_F(CarMotionTest, TheStunRunsDownByTheIntervalOnlyWhileDrivingFreely) {
  car_.StunTime = 0.05;
  speed_ = 0;
  Move({RaceAction::Accelerate});
  EXPECT_EQ(speed_, 0) << "the accelerator does nothing while stunned";
  EXPECT_DOUBLE_EQ(car_.StunTime, 0.05 - 0.033);
  car_.MotionState = CarMotion::SlowingDown;
  car_.TargetSpeed = 0;
  speed_ = 1;
  Move();
  EXPECT_EQ(car_.MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(car_.StunTime, 0.05 - 0.033);
  car_.MotionState = CarMotion::DrivingFreely;
  Move();
  EXPECT_EQ(car_.StunTime, 0);
}

}  // namespace
}  // namespace rivoltra
