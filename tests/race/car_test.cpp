// The car's driving model: keys, the steering cap, off road, slowing, stun and the X clamp.
#include <algorithm>

#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

class CarTest : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    PassStartBanner();
    QuietRoad();
    car().X = LaneCentredX(3, car().Width);
  }
};

TEST_F(CarTest, SteeringMovesBySpeedOverTheDivisorCappedAtSteerMax) {
  const struct { double speed, step; } cases[] = {{0, 0}, {9, 5}, {21.6, 12}, {30, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    car().X = LaneCentredX(3, car().Width);
    race().Speed = c.speed;
    const double x = car().X;
    Hold("Right");
    Tick();
    Release("Right");
    EXPECT_DOUBLE_EQ(car().X, x + c.step);
    Hold("Left");
    Tick();
    Release("Left");
    EXPECT_DOUBLE_EQ(car().X, x);
  }
}

TEST_F(CarTest, AcceleratingOvershootsTopSpeedByLessThanOneStepAndReleasingKeepsTheSpeed) {
  Hold("Up");
  Tick(300);
  EXPECT_GE(race().Speed, 125.0 / 7);
  EXPECT_LT(race().Speed, 125.0 / 7 + 0.1);
  const double top = race().Speed;
  Release("Up");
  Tick(20);
  EXPECT_EQ(race().Speed, top);
  Hold("Down");
  Tick(10);
  EXPECT_NEAR(race().Speed, top - 2.0, 1e-9);
}

TEST_F(CarTest, OffRoadHalvesTopSpeedOnceAndTheRoadRestoresIt) {
  race().Speed = 125.0 / 7;
  car().X = LaneEdge[0];
  Tick();
  EXPECT_DOUBLE_EQ(car().MaxSpeed, 125.0 / 14);
  EXPECT_DOUBLE_EQ(car().Acceleration, 0.05);
  EXPECT_EQ(car().MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(car().TargetSpeed, 125.0 / 14);
  // Rolling out without the brake key...
  double speed = race().Speed;
  Tick();
  EXPECT_NEAR(race().Speed, speed - 0.05, 1e-9);
  EXPECT_DOUBLE_EQ(car().MaxSpeed, 125.0 / 14);
  // ...and braking with it.
  speed = race().Speed;
  Hold("Down");
  Tick();
  Release("Down");
  EXPECT_NEAR(race().Speed, speed - 0.2, 1e-9);
  // Back on the road: both values return at once and the slowing ends.
  car().X = LaneCentredX(2, car().Width);
  Tick();
  EXPECT_DOUBLE_EQ(car().MaxSpeed, 125.0 / 7);
  EXPECT_DOUBLE_EQ(car().Acceleration, 0.1);
  EXPECT_EQ(car().MotionState, CarMotion::DrivingFreely);
}

TEST_F(CarTest, OffRoadMeansTheLeftThirdOfTheCarOnTheGroundStrip) {
  car().X = LaneEdge[1] - car().Width / 3.0;
  EXPECT_FALSE(IsOffRoad(CarPlace{car().X, car().Width}));
  car().X -= 0.5;
  EXPECT_TRUE(IsOffRoad(CarPlace{car().X, car().Width}));
}

TEST_F(CarTest, WhileStunnedTheSpeedKeysDoNothingButSteeringWorks) {
  race().Speed = 5;
  car().StunTime = 1;
  const double x = car().X;
  Hold("Up");
  Hold("Left");
  Tick(5);
  EXPECT_EQ(race().Speed, 5);
  EXPECT_LT(car().X, x);
  EXPECT_LT(car().StunTime, 1);
}

TEST_F(CarTest, TheCarStaysBetweenTheRoadEdges) {
  race().Speed = 10;
  Hold("Left");
  Tick(100);
  EXPECT_EQ(car().X, 166);
  Release("Left");
  race().Speed = 10;
  car().MotionState = CarMotion::DrivingFreely;
  Hold("Right");
  Tick(100);
  EXPECT_EQ(car().X, 615 - car().Width);
}

TEST_F(CarTest, TheTurboRaisesTopSpeedAndItsEndSlowsTheCarBackDown) {
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  ASSERT_TRUE(race().TurboActive);
  EXPECT_DOUBLE_EQ(car().MaxSpeed, 150.0 / 7);
  TakeStartedSounds();
  Hold("Up");
  Tick(150);
  EXPECT_GT(race().Speed, 125.0 / 7 + 1);
  EXPECT_TRUE(race().BonusFlame->Visible);
  const auto sounds = TakeStartedSounds();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "EngineAccel"), 1);
  const CaptionSprite& icon = *race().BonusIcon;
  EXPECT_DOUBLE_EQ(icon.Y, car().Y + car().Height - icon.Height * 0.9);
  EXPECT_DOUBLE_EQ(race().BonusFlame->Y, car().Y + car().Height + icon.Height * 0.1);

  EndRunningBonus(game());
  EXPECT_FALSE(race().TurboActive);
  EXPECT_EQ(race().BonusIcon, nullptr);
  EXPECT_EQ(race().BonusFlame, nullptr);
  EXPECT_EQ(car().MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(car().TargetSpeed, 125.0 / 7);
  Tick(100);
  EXPECT_LE(race().Speed, 125.0 / 7 + 0.1);
}

}  // namespace
}  // namespace rivoltra::testing
