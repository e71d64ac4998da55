// What happens when the car meets each kind of object, and where objects may be placed.
#include <set>

#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

class CollisionTest : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    PassStartBanner();
    QuietRoad();
  }
};

TEST_F(CollisionTest, AWallAtExactly75SeventhsOnlyStopsTheCarForTwoSeconds) {
  Race().Speed = 75.0 / 7;
  Race().Punctured = true;
  TrackObject& wall = ObjectOnCar(ObjectKind::Wall05);
  Tick();
  EXPECT_EQ(Race().Speed, 0);
  EXPECT_EQ(Car().StunTime, 2);
  EXPECT_FALSE(Race().Punctured);
  EXPECT_EQ(Race().Lives, 3);
  EXPECT_FALSE(Race().CrashPending);
  EXPECT_EQ(SpriteOf(wall).Image->Name(), "ExplosionSmall");
  EXPECT_FALSE(wall.CanCollide);
  EXPECT_EQ(Race().CrashSlot, wall.Slot);
  // The stun runs out after 2 s of driving freely; up to then the accelerator does nothing.
  Hold("Up");
  Tick(60);
  EXPECT_EQ(Race().Speed, 0);
  Tick(10);
  EXPECT_EQ(Car().StunTime, 0);
  EXPECT_GT(Race().Speed, 0);
}

TEST_F(CollisionTest, AWallAnyFasterCrashesTheCarAndItComesBackAfterTwoExplosionRuns) {
  Race().Speed = 75.0 / 7 + 0.1;
  TrackObject& wall = ObjectOnCar(ObjectKind::Wall10);
  Tick();
  EXPECT_EQ(Race().Lives, 2);
  EXPECT_TRUE(Race().CrashPending);
  EXPECT_EQ(Race().Speed, 0);
  EXPECT_FALSE(Car().ControlsEnabled);
  EXPECT_EQ(SpriteOf(wall).Image->Name(), "ExplosionBig");
  RaceEffectSprite& explosion = *Scene().CrashExplosion;
  EXPECT_TRUE(explosion.Visible);
  EXPECT_EQ(explosion.X, Car().X);
  const int frames = explosion.FrameCount;
  ASSERT_GT(frames, 1);
  int ticks = 0;
  bool secondRunLower = false;
  while (Race().CrashPending && ticks < 500) {
    Tick();
    ++ticks;
    if (Race().CarExplosion.FramesSeen == frames) {
      secondRunLower = explosion.Y == Car().Y + explosion.Height / 4.0;
    }
  }
  EXPECT_FALSE(Race().CrashPending);
  EXPECT_TRUE(secondRunLower);
  // 2 x frames changes at 20 frames per second (0.6 frames a tick).
  EXPECT_NEAR(ticks, 2 * frames / 0.6, 2);
  EXPECT_FALSE(explosion.Visible);
  EXPECT_EQ(Race().CarExplosion.FramesSeen, 0);
  EXPECT_TRUE(Car().ControlsEnabled);
  EXPECT_EQ(CarSprite().Image->Name(), "Car1");
  EXPECT_EQ(Race().CrashSlot, 0);
}

TEST_F(CollisionTest, ACrashAtOneLifeShowsTheGameOverBannerInsteadOfARespawn) {
  Race().Lives = 1;
  Race().Speed = 15;
  TrackObject& wall = ObjectOnCar(ObjectKind::Wall05);
  Tick();
  EXPECT_EQ(Race().Lives, 0);
  Tick();
  EXPECT_TRUE(Race().GameOverShown);
  ASSERT_NE(Scene().Banner, nullptr);
  EXPECT_EQ(Scene().Banner->Image->Name(), "GameOverNB");
  EXPECT_FALSE(Scene().CrashExplosion->Visible);
  EXPECT_FALSE(wall.Visible);
  EXPECT_FALSE(Race().RaceRunning);
  // A hit at 0 lives does nothing to the car.
  EXPECT_FALSE(CrashCar(Race(), Car()));
  EXPECT_EQ(Race().Lives, 0);
  // 2000 ms later the game finishes; a score of 0 goes to the main menu.
  for (int i = 0; i < 100 && Game().ScreenState == GameScreen::Race; ++i) Tick();
  EXPECT_EQ(Game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(Scene().PlayerCar, nullptr);
  EXPECT_EQ(SpriteCount(), MenuSpriteCount());
}

TEST_F(CollisionTest, HazardsSlowTheCarDown) {
  const double speed = 15;
  struct Case {
    ObjectKind Kind;
    double Target;
    const char* Sound;
  } cases[] = {
      {ObjectKind::Stone05, speed - 50.0 / 7, "Stone"},
      {ObjectKind::StoneSmall05, speed - 20.0 / 7, nullptr},
      {ObjectKind::Crack, speed - 10.0 / 7, nullptr},
      {ObjectKind::Spike10, 25.0 / 7, "Spike"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Kind);
    Car().MotionState = CarMotion::DrivingFreely;
    Car().StunTime = 0;
    Race().Punctured = false;
    Race().Speed = speed;
    ObjectOnCar(c.Kind);
    TakeStartedSounds();
    Tick();
    EXPECT_EQ(Car().MotionState, CarMotion::SlowingDown);
    EXPECT_DOUBLE_EQ(Car().TargetSpeed, c.Target);
    const auto sounds = TakeStartedSounds();
    if (c.Sound != nullptr) EXPECT_TRUE(Contains(sounds, c.Sound));
    EXPECT_FALSE(Contains(sounds, "Stone") && c.Sound == nullptr);
    ClearTrackObjects(Game());
  }
  EXPECT_TRUE(Race().Punctured);
  EXPECT_EQ(Car().StunTime, 10);
}

TEST_F(CollisionTest, AStoneBelowItsSlowdownKeepsTheOldTargetSpeed) {
  Car().TargetSpeed = 1.5;
  Race().Speed = 5;
  ObjectOnCar(ObjectKind::Stone05);
  Tick();
  EXPECT_EQ(Car().TargetSpeed, 1.5);
  EXPECT_EQ(Car().MotionState, CarMotion::SlowingDown);
}

TEST_F(CollisionTest, WaterInTheRightLaneSlidesTheCarLeftByTheMiddleLanesWidth) {
  Car().X = LaneCentredX(4, Car().Width);
  Race().Speed = 12;
  ObjectOnCar(ObjectKind::Water10);
  Tick();
  EXPECT_EQ(Car().MotionState, CarMotion::SlidingLeft);
  EXPECT_EQ(Car().SlideDistance, 110);
  EXPECT_DOUBLE_EQ(Car().TargetSpeed, 12 - 50.0 / 7);
  const double startX = Car().X;
  for (int i = 0; i < 100 && Car().MotionState == CarMotion::SlidingLeft; ++i) Tick();
  EXPECT_EQ(Car().MotionState, CarMotion::DrivingFreely);
  EXPECT_LT(Car().X, startX - 50);
}

TEST_F(CollisionTest, ARabbitCostsAHundredPointsButNeverMakesTheScoreNegative) {
  const struct { int Before, After; } cases[] = {{60, 0}, {250, 150}, {100, 0}};
  for (const auto& c : cases) {
    Race().Score = c.Before;
    Race().Speed = 5;
    ObjectOnCar(ObjectKind::Rabbit);
    Tick();
    EXPECT_EQ(Race().Score, c.After) << c.Before;
    ClearTrackObjects(Game());
  }
}

TEST_F(CollisionTest, ScoreBonusesAndTheExtraLifeArePickedUpAndRemoved) {
  const struct {
    ObjectKind Kind;
    int Points, Lives;
  } cases[] = {{ObjectKind::Bonus10, 10, 0},
               {ObjectKind::Bonus20, 20, 0},
               {ObjectKind::Bonus50, 50, 0},
               {ObjectKind::Bonus100, 100, 0},
               {ObjectKind::BonusLive, 0, 1}};
  for (const auto& c : cases) {
    Race().Score = 0;
    const int lives = Race().Lives;
    Race().Speed = 5;
    TrackObject& bonus = ObjectOnCar(c.Kind);
    const int slot = bonus.Slot;
    Tick();
    EXPECT_EQ(Race().Score, c.Points) << c.Kind;
    EXPECT_EQ(Race().Lives, lives + c.Lives) << c.Kind;
    EXPECT_FALSE(Race().Objects[static_cast<std::size_t>(slot)].Used) << c.Kind;
    EXPECT_EQ(Scene().Slots[static_cast<std::size_t>(slot)], nullptr) << c.Kind;
    EXPECT_TRUE(Contains(TakeStartedSounds(), "ScoreGet"));
  }
}

TEST_F(CollisionTest, GunAndTurboReplaceEachOtherAndAgainOnlyRenewTheTime) {
  Race().Speed = 5;
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  EXPECT_TRUE(Race().TurboActive);
  EXPECT_DOUBLE_EQ(Car().MaxSpeed, 150.0 / 7);
  EXPECT_EQ(Car().BonusSeconds, 10);
  ASSERT_NE(Scene().BonusIcon, nullptr);
  EXPECT_EQ(Scene().BonusIcon->Image->Name(), "TurboRed");
  const int withTurbo = SpriteCount();

  Car().BonusSeconds = 4;
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  EXPECT_EQ(Car().BonusSeconds, 10);
  EXPECT_EQ(SpriteCount(), withTurbo);

  ObjectOnCar(ObjectKind::BonusGun);
  Tick();
  EXPECT_FALSE(Race().TurboActive);
  EXPECT_TRUE(Race().GunActive);
  EXPECT_DOUBLE_EQ(Car().MaxSpeed, 125.0 / 7);
  EXPECT_EQ(Scene().BonusIcon->Image->Name(), "Gun");
  EXPECT_EQ(Scene().BonusFlame->Image->Name(), "GunFire");
  EXPECT_EQ(SpriteCount(), withTurbo);

  Car().BonusSeconds = 3;
  ObjectOnCar(ObjectKind::BonusGun);
  Tick();
  EXPECT_TRUE(Race().GunActive);
  EXPECT_EQ(Car().BonusSeconds, 10);
  EXPECT_EQ(SpriteCount(), withTurbo);
}

TEST_F(CollisionTest, TheBonusRunsOutOnTheClockWithASound) {
  Race().Speed = 5;
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  ASSERT_TRUE(Race().TurboActive);
  const int withTurbo = SpriteCount();
  for (int i = 0; i < 1000 && Race().TurboActive; ++i) Tick();
  EXPECT_FALSE(Race().TurboActive);
  EXPECT_EQ(Scene().BonusIcon, nullptr);
  EXPECT_EQ(SpriteCount(), withTurbo - 2);
  EXPECT_TRUE(Contains(TakeStartedSounds(), "BonusLost"));
}

TEST_F(CollisionTest, TrafficCrashesTheCarWhenTheSpeedsDifferByMoreThan25Sevenths) {
  Car().X = LaneCentredX(3, Car().Width);
  const struct {
    double OwnSpeed, Speed;
    bool Crash;
  } cases[] = {{-12, 8, true}, {-12, 15.5, false}, {-12, 15.6, true}, {2, 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Speed);
    Race().Lives = 3;
    Race().CrashPending = false;
    Car().ControlsEnabled = true;
    Race().Speed = c.Speed;
    TrackObject& traffic = ObjectOnCar(ObjectKind::Car5);
    traffic.OwnSpeed = c.OwnSpeed;
    Tick();
    EXPECT_EQ(Race().Lives, c.Crash ? 2 : 3);
    EXPECT_EQ(traffic.OwnSpeed, 0);
    EXPECT_EQ(SpriteOf(traffic).Image->Name(), "ExplosionBig");
    ClearTrackObjects(Game());
    ResetCrashExplosion();
  }
}

TEST_F(CollisionTest, AnObjectTouchingOnlyAtTheEdgeOfItsWidthIsPassedBy) {
  Race().Speed = 5;
  TrackObject& bonus = ObjectOnCar(ObjectKind::Bonus100);
  // Less than a tenth of the bonus's width overlaps the car.
  bonus.X = Car().X + Car().Width - 0.05 * bonus.Width;
  Tick();
  EXPECT_EQ(Race().Score, 0);
  EXPECT_TRUE(bonus.CanCollide);
}

TEST_F(CollisionTest, NothingMovesAtSpeedZeroExceptTraffic) {
  Race().Speed = 0;
  TrackObject* wall = SpawnAndShowObject(Game(), ObjectKind::Wall05, 2);
  TrackObject* traffic = SpawnAndShowObject(Game(), ObjectKind::Car5Inv, 3);
  ASSERT_NE(wall, nullptr);
  ASSERT_NE(traffic, nullptr);
  const double wallY = wall->Y;
  const double trafficY = traffic->Y;
  Tick(5);
  EXPECT_EQ(wall->Y, wallY);
  EXPECT_DOUBLE_EQ(traffic->Y, trafficY + 5 * traffic->OwnSpeed);
}

// Placement rules, through the race's own spawn function.
class PlacementTest : public CollisionTest {};

TEST_F(PlacementTest, TwoTrafficCarsNeverShareALane) {
  int traffic = 0;
  for (int round = 0; round < 200; ++round) {
    SpawnAndShowObject(Game(), KindFromNumber(KindNumber(ObjectKind::Car5) + round % 12));
    std::set<int> lanes;
    traffic = 0;
    for (const TrackObject& object : Race().Objects) {
      if (!object.Used || !object.IsTraffic) continue;
      ++traffic;
      lanes.insert(object.Lane);
      EXPECT_TRUE(object.SameDirection ? object.Lane >= 3 : object.Lane <= 3);
    }
    EXPECT_EQ(static_cast<int>(lanes.size()), traffic);
    // Spread them out so the overlap rules do not hide the lane rule.
    for (TrackObject& object : Race().Objects) {
      if (object.Used) object.Y = 100.0 * object.Slot;
    }
  }
  // Traffic the player's way takes lanes 3 and 4, oncoming traffic 2 and 3.
  EXPECT_EQ(traffic, 3);
}

TEST_F(PlacementTest, NewObjectsKeepTheirDistanceAndSignsBlockTheRoad) {
  TrackObject* first = SpawnAndShowObject(Game(), ObjectKind::Bonus10, 2);
  ASSERT_NE(first, nullptr);
  ASSERT_GT(first->Height, 22);
  // Same X, or a Y within 10 px, or overlapping boxes: refused.
  EXPECT_TRUE(OverlapsPlaced(Race(), first->X, 300, 10, 10));
  EXPECT_TRUE(OverlapsPlaced(Race(), 600, first->Y + 10, 10, 10));
  EXPECT_TRUE(OverlapsPlaced(Race(), first->X + first->Width / 2.0, first->Y + first->Height / 2.0,
                             10, 10));
  EXPECT_TRUE(
      OverlapsPlaced(Race(), first->X - 5, first->Y - 11, first->Width + 10, first->Height + 30));
  EXPECT_FALSE(OverlapsPlaced(Race(), first->X + 200, first->Y + 11, 10, 10));
  first->Y = 300;
  TrackObject* sign = SpawnAndShowObject(Game(), ObjectKind::SignLeftBlue);
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->X, 140);
  for (std::int32_t kind = 1; kind <= 34; ++kind) {
    EXPECT_EQ(SpawnAndShowObject(Game(), KindFromNumber(kind)), nullptr) << kind;
  }
}

TEST_F(PlacementTest, ASpawnIntoThirtyUsedSlotsDoesNothing) {
  for (int i = 0; i < kSlotCount; ++i) {
    TrackObject* object = SpawnAndShowObject(Game(), ObjectKind::Bonus10);
    ASSERT_NE(object, nullptr) << i;
    object->X = 1000 + 100.0 * i;
    object->Y = 100 + 50.0 * i;
  }
  const int sprites = SpriteCount();
  const std::uint32_t randomBefore = Game().Random.State();
  EXPECT_EQ(SpawnAndShowObject(Game(), ObjectKind::Bonus10), nullptr);
  EXPECT_EQ(SpriteCount(), sprites);
  EXPECT_EQ(Game().Random.State(), randomBefore);
}

}  // namespace
}  // namespace rivoltra::testing
