// The car's driving model in the game: keys, the steering cap, slowing, stun and the X clamp (off
// road is the car move's own, in the core tests).
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
    Car().X = LaneCentredX(3, Car().Width);
  }
};

TEST_F(CarTest, SteeringMovesBySpeedOverTheDivisorCappedAtSteerMax) {
  const struct { double Speed, Step; } cases[] = {{0, 0}, {9, 5}, {21.6, 12}, {30, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Speed);
    Car().X = LaneCentredX(3, Car().Width);
    Race().Speed = c.Speed;
    const double x = Car().X;
    Hold("Right");
    Tick();
    Release("Right");
    EXPECT_DOUBLE_EQ(Car().X, x + c.Step);
    Hold("Left");
    Tick();
    Release("Left");
    EXPECT_DOUBLE_EQ(Car().X, x);
  }
}

TEST_F(CarTest, AcceleratingOvershootsTopSpeedByLessThanOneStepAndReleasingKeepsTheSpeed) {
  Hold("Up");
  Tick(300);
  EXPECT_GE(Race().Speed, 125.0 / 7);
  EXPECT_LT(Race().Speed, 125.0 / 7 + 0.1);
  const double top = Race().Speed;
  Release("Up");
  Tick(20);
  EXPECT_EQ(Race().Speed, top);
  Hold("Down");
  Tick(10);
  EXPECT_NEAR(Race().Speed, top - 2.0, 1e-9);
}

TEST_F(CarTest, WhileStunnedTheSpeedKeysDoNothingButSteeringWorks) {
  Race().Speed = 5;
  Car().StunTime = 1;
  const double x = Car().X;
  Hold("Up");
  Hold("Left");
  Tick(5);
  EXPECT_EQ(Race().Speed, 5);
  EXPECT_LT(Car().X, x);
  EXPECT_LT(Car().StunTime, 1);
}

TEST_F(CarTest, TheCarStaysBetweenTheRoadEdges) {
  Race().Speed = 10;
  Hold("Left");
  Tick(100);
  EXPECT_EQ(Car().X, 166);
  Release("Left");
  Race().Speed = 10;
  Car().MotionState = CarMotion::DrivingFreely;
  Hold("Right");
  Tick(100);
  EXPECT_EQ(Car().X, 615 - Car().Width);
}

TEST_F(CarTest, TheTurboRaisesTopSpeedAndItsEndSlowsTheCarBackDown) {
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  ASSERT_TRUE(Race().TurboActive);
  EXPECT_DOUBLE_EQ(Car().MaxSpeed, 150.0 / 7);
  TakeStartedSounds();
  Hold("Up");
  Tick(150);
  EXPECT_GT(Race().Speed, 125.0 / 7 + 1);
  EXPECT_TRUE(Scene().BonusFlame->Visible);
  const auto sounds = TakeStartedSounds();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "EngineAccel"), 1);
  const CaptionSprite& icon = *Scene().BonusIcon;
  EXPECT_DOUBLE_EQ(icon.Y, Car().Y + Car().Height - icon.Height * 0.9);
  EXPECT_DOUBLE_EQ(Scene().BonusFlame->Y, Car().Y + Car().Height + icon.Height * 0.1);

  EndRunningBonus(Game());
  EXPECT_FALSE(Race().TurboActive);
  EXPECT_EQ(Scene().BonusIcon, nullptr);
  EXPECT_EQ(Scene().BonusFlame, nullptr);
  EXPECT_EQ(Car().MotionState, CarMotion::SlowingDown);
  EXPECT_DOUBLE_EQ(Car().TargetSpeed, 125.0 / 7);
  Tick(100);
  EXPECT_LE(Race().Speed, 125.0 / 7 + 0.1);
}

}  // namespace
}  // namespace rivoltra::testing
