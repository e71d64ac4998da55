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
  race().Speed = 75.0 / 7;
  race().Punctured = true;
  TrackObject& wall = ObjectOnCar(ObjectKind::Wall05);
  Tick();
  EXPECT_EQ(race().Speed, 0);
  EXPECT_EQ(car().StunTime, 2);
  EXPECT_FALSE(race().Punctured);
  EXPECT_EQ(race().Lives, 3);
  EXPECT_FALSE(race().CrashPending);
  EXPECT_EQ(SpriteOf(wall).Image->Name(), "ExplosionSmall");
  EXPECT_FALSE(wall.CanCollide);
  EXPECT_EQ(race().CrashSlot, wall.Slot);
  // The stun runs out after 2 s of driving freely; up to then the accelerator does nothing.
  Hold("Up");
  Tick(60);
  EXPECT_EQ(race().Speed, 0);
  Tick(10);
  EXPECT_EQ(car().StunTime, 0);
  EXPECT_GT(race().Speed, 0);
}

TEST_F(CollisionTest, AWallAnyFasterCrashesTheCarAndItComesBackAfterTwoExplosionRuns) {
  race().Speed = 75.0 / 7 + 0.1;
  TrackObject& wall = ObjectOnCar(ObjectKind::Wall10);
  Tick();
  EXPECT_EQ(race().Lives, 2);
  EXPECT_TRUE(race().CrashPending);
  EXPECT_EQ(race().Speed, 0);
  EXPECT_FALSE(car().ControlsEnabled);
  EXPECT_EQ(SpriteOf(wall).Image->Name(), "ExplosionBig");
  RaceEffectSprite& explosion = *race().CrashExplosion;
  EXPECT_TRUE(explosion.Visible);
  EXPECT_EQ(explosion.X, car().X);
  const int frames = explosion.FrameCount;
  ASSERT_GT(frames, 1);
  int ticks = 0;
  bool secondRunLower = false;
  while (race().CrashPending && ticks < 500) {
    Tick();
    ++ticks;
    if (race().CarExplosion.FramesSeen == frames) {
      secondRunLower = explosion.Y == car().Y + explosion.Height / 4.0;
    }
  }
  EXPECT_FALSE(race().CrashPending);
  EXPECT_TRUE(secondRunLower);
  // 2 x frames changes at 20 frames per second (0.6 frames a tick).
  EXPECT_NEAR(ticks, 2 * frames / 0.6, 2);
  EXPECT_FALSE(explosion.Visible);
  EXPECT_EQ(race().CarExplosion.FramesSeen, 0);
  EXPECT_TRUE(car().ControlsEnabled);
  EXPECT_EQ(carSprite().Image->Name(), "Car1");
  EXPECT_EQ(race().CrashSlot, 0);
}

TEST_F(CollisionTest, ACrashAtOneLifeShowsTheGameOverBannerInsteadOfARespawn) {
  race().Lives = 1;
  race().Speed = 15;
  TrackObject& wall = ObjectOnCar(ObjectKind::Wall05);
  Tick();
  EXPECT_EQ(race().Lives, 0);
  Tick();
  EXPECT_TRUE(race().GameOverShown);
  ASSERT_NE(race().Banner, nullptr);
  EXPECT_EQ(race().Banner->Image->Name(), "GameOverNB");
  EXPECT_FALSE(race().CrashExplosion->Visible);
  EXPECT_FALSE(wall.Visible);
  EXPECT_FALSE(race().RaceRunning);
  // A hit at 0 lives does nothing to the car.
  EXPECT_FALSE(CrashCar(race(), car()));
  EXPECT_EQ(race().Lives, 0);
  // 2000 ms later the game finishes; a score of 0 goes to the main menu.
  for (int i = 0; i < 100 && game().ScreenState == GameScreen::Race; ++i) Tick();
  EXPECT_EQ(game().ScreenState, GameScreen::MainMenu);
  EXPECT_EQ(race().PlayerCar, nullptr);
  EXPECT_EQ(SpriteCount(), MenuSpriteCount());
}

TEST_F(CollisionTest, HazardsSlowTheCarDown) {
  const double speed = 15;
  struct Case {
    ObjectKind kind;
    double target;
    const char* sound;
  } cases[] = {
      {ObjectKind::Stone05, speed - 50.0 / 7, "Stone"},
      {ObjectKind::StoneSmall05, speed - 20.0 / 7, nullptr},
      {ObjectKind::Crack, speed - 10.0 / 7, nullptr},
      {ObjectKind::Spike10, 25.0 / 7, "Spike"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    car().MotionState = CarMotion::DrivingFreely;
    car().StunTime = 0;
    race().Punctured = false;
    race().Speed = speed;
    ObjectOnCar(c.kind);
    TakeStartedSounds();
    Tick();
    EXPECT_EQ(car().MotionState, CarMotion::SlowingDown);
    EXPECT_DOUBLE_EQ(car().TargetSpeed, c.target);
    const auto sounds = TakeStartedSounds();
    if (c.sound != nullptr) EXPECT_TRUE(Contains(sounds, c.sound));
    EXPECT_FALSE(Contains(sounds, "Stone") && c.sound == nullptr);
    ClearTrackObjects(game());
  }
  EXPECT_TRUE(race().Punctured);
  EXPECT_EQ(car().StunTime, 10);
}

TEST_F(CollisionTest, AStoneBelowItsSlowdownKeepsTheOldTargetSpeed) {
  car().TargetSpeed = 1.5;
  race().Speed = 5;
  ObjectOnCar(ObjectKind::Stone05);
  Tick();
  EXPECT_EQ(car().TargetSpeed, 1.5);
  EXPECT_EQ(car().MotionState, CarMotion::SlowingDown);
}

TEST_F(CollisionTest, WaterInTheRightLaneSlidesTheCarLeftByTheMiddleLanesWidth) {
  car().X = LaneCentredX(4, car().Width);
  race().Speed = 12;
  ObjectOnCar(ObjectKind::Water10);
  Tick();
  EXPECT_EQ(car().MotionState, CarMotion::SlidingLeft);
  EXPECT_EQ(car().SlideDistance, 110);
  EXPECT_DOUBLE_EQ(car().TargetSpeed, 12 - 50.0 / 7);
  const double startX = car().X;
  for (int i = 0; i < 100 && car().MotionState == CarMotion::SlidingLeft; ++i) Tick();
  EXPECT_EQ(car().MotionState, CarMotion::DrivingFreely);
  EXPECT_LT(car().X, startX - 50);
}

TEST_F(CollisionTest, ARabbitCostsAHundredPointsButNeverMakesTheScoreNegative) {
  const struct { int before, after; } cases[] = {{60, 0}, {250, 150}, {100, 0}};
  for (const auto& c : cases) {
    race().Score = c.before;
    race().Speed = 5;
    ObjectOnCar(ObjectKind::Rabbit);
    Tick();
    EXPECT_EQ(race().Score, c.after) << c.before;
    ClearTrackObjects(game());
  }
}

TEST_F(CollisionTest, ScoreBonusesAndTheExtraLifeArePickedUpAndRemoved) {
  const struct {
    ObjectKind kind;
    int points, lives;
  } cases[] = {{ObjectKind::Bonus10, 10, 0},
               {ObjectKind::Bonus20, 20, 0},
               {ObjectKind::Bonus50, 50, 0},
               {ObjectKind::Bonus100, 100, 0},
               {ObjectKind::BonusLive, 0, 1}};
  for (const auto& c : cases) {
    race().Score = 0;
    const int lives = race().Lives;
    race().Speed = 5;
    TrackObject& bonus = ObjectOnCar(c.kind);
    const int slot = bonus.Slot;
    Tick();
    EXPECT_EQ(race().Score, c.points) << c.kind;
    EXPECT_EQ(race().Lives, lives + c.lives) << c.kind;
    EXPECT_FALSE(race().SlotUsed[static_cast<std::size_t>(slot)]) << c.kind;
    EXPECT_TRUE(Contains(TakeStartedSounds(), "ScoreGet"));
  }
}

TEST_F(CollisionTest, GunAndTurboReplaceEachOtherAndAgainOnlyRenewTheTime) {
  race().Speed = 5;
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  EXPECT_TRUE(race().TurboActive);
  EXPECT_DOUBLE_EQ(car().MaxSpeed, 150.0 / 7);
  EXPECT_EQ(car().BonusSeconds, 10);
  ASSERT_NE(race().BonusIcon, nullptr);
  EXPECT_EQ(race().BonusIcon->Image->Name(), "TurboRed");
  const int withTurbo = SpriteCount();

  car().BonusSeconds = 4;
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  EXPECT_EQ(car().BonusSeconds, 10);
  EXPECT_EQ(SpriteCount(), withTurbo);

  ObjectOnCar(ObjectKind::BonusGun);
  Tick();
  EXPECT_FALSE(race().TurboActive);
  EXPECT_TRUE(race().GunActive);
  EXPECT_DOUBLE_EQ(car().MaxSpeed, 125.0 / 7);
  EXPECT_EQ(race().BonusIcon->Image->Name(), "Gun");
  EXPECT_EQ(race().BonusFlame->Image->Name(), "GunFire");
  EXPECT_EQ(SpriteCount(), withTurbo);

  car().BonusSeconds = 3;
  ObjectOnCar(ObjectKind::BonusGun);
  Tick();
  EXPECT_TRUE(race().GunActive);
  EXPECT_EQ(car().BonusSeconds, 10);
  EXPECT_EQ(SpriteCount(), withTurbo);
}

TEST_F(CollisionTest, TheBonusRunsOutOnTheClockWithASound) {
  race().Speed = 5;
  ObjectOnCar(ObjectKind::BonusTurbo);
  Tick();
  ASSERT_TRUE(race().TurboActive);
  const int withTurbo = SpriteCount();
  for (int i = 0; i < 1000 && race().TurboActive; ++i) Tick();
  EXPECT_FALSE(race().TurboActive);
  EXPECT_EQ(race().BonusIcon, nullptr);
  EXPECT_EQ(SpriteCount(), withTurbo - 2);
  EXPECT_TRUE(Contains(TakeStartedSounds(), "BonusLost"));
}

TEST_F(CollisionTest, TrafficCrashesTheCarWhenTheSpeedsDifferByMoreThan25Sevenths) {
  car().X = LaneCentredX(3, car().Width);
  const struct {
    double ownSpeed, speed;
    bool crash;
  } cases[] = {{-12, 8, true}, {-12, 15.5, false}, {-12, 15.6, true}, {2, 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    race().Lives = 3;
    race().CrashPending = false;
    car().ControlsEnabled = true;
    race().Speed = c.speed;
    TrackObject& traffic = ObjectOnCar(ObjectKind::Car5);
    traffic.OwnSpeed = c.ownSpeed;
    Tick();
    EXPECT_EQ(race().Lives, c.crash ? 2 : 3);
    EXPECT_EQ(traffic.OwnSpeed, 0);
    EXPECT_EQ(SpriteOf(traffic).Image->Name(), "ExplosionBig");
    ClearTrackObjects(game());
    ResetCrashExplosion();
  }
}

TEST_F(CollisionTest, AnObjectTouchingOnlyAtTheEdgeOfItsWidthIsPassedBy) {
  race().Speed = 5;
  TrackObject& bonus = ObjectOnCar(ObjectKind::Bonus100);
  // Less than a tenth of the bonus's width overlaps the car.
  bonus.X = car().X + car().Width - 0.05 * bonus.Width;
  Tick();
  EXPECT_EQ(race().Score, 0);
  EXPECT_TRUE(bonus.CanCollide);
}

TEST_F(CollisionTest, NothingMovesAtSpeedZeroExceptTraffic) {
  race().Speed = 0;
  TrackObject* wall = SpawnAndShowObject(game(), ObjectKind::Wall05, 2);
  TrackObject* traffic = SpawnAndShowObject(game(), ObjectKind::Car5Inv, 3);
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
    SpawnAndShowObject(game(), KindFromNumber(KindNumber(ObjectKind::Car5) + round % 12));
    std::set<int> lanes;
    traffic = 0;
    for (const TrackObjectSprite* object : race().Slots) {
      if (object == nullptr || !object->IsTraffic) continue;
      ++traffic;
      lanes.insert(object->Lane);
      EXPECT_TRUE(object->SameDirection ? object->Lane >= 3 : object->Lane <= 3);
    }
    EXPECT_EQ(static_cast<int>(lanes.size()), traffic);
    // Spread them out so the overlap rules do not hide the lane rule.
    for (TrackObjectSprite* object : race().Slots) {
      if (object != nullptr) object->Y = 100.0 * object->Slot;
    }
  }
  // Traffic the player's way takes lanes 3 and 4, oncoming traffic 2 and 3.
  EXPECT_EQ(traffic, 3);
}

TEST_F(PlacementTest, NewObjectsKeepTheirDistanceAndSignsBlockTheRoad) {
  TrackObject* first = SpawnAndShowObject(game(), ObjectKind::Bonus10, 2);
  ASSERT_NE(first, nullptr);
  ASSERT_GT(first->Height, 22);
  // Same X, or a Y within 10 px, or overlapping boxes: refused.
  EXPECT_TRUE(OverlapsPlaced(race(), first->X, 300, 10, 10));
  EXPECT_TRUE(OverlapsPlaced(race(), 600, first->Y + 10, 10, 10));
  EXPECT_TRUE(OverlapsPlaced(race(), first->X + first->Width / 2.0, first->Y + first->Height / 2.0,
                             10, 10));
  EXPECT_TRUE(
      OverlapsPlaced(race(), first->X - 5, first->Y - 11, first->Width + 10, first->Height + 30));
  EXPECT_FALSE(OverlapsPlaced(race(), first->X + 200, first->Y + 11, 10, 10));
  first->Y = 300;
  TrackObject* sign = SpawnAndShowObject(game(), ObjectKind::SignLeftBlue);
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->X, 140);
  for (std::int32_t kind = 1; kind <= 34; ++kind) {
    EXPECT_EQ(SpawnAndShowObject(game(), KindFromNumber(kind)), nullptr) << kind;
  }
}

TEST_F(PlacementTest, ASpawnIntoThirtyUsedSlotsDoesNothing) {
  for (int i = 0; i < kSlotCount; ++i) {
    TrackObject* object = SpawnAndShowObject(game(), ObjectKind::Bonus10);
    ASSERT_NE(object, nullptr) << i;
    object->X = 1000 + 100.0 * i;
    object->Y = 100 + 50.0 * i;
  }
  const int sprites = SpriteCount();
  const std::uint32_t randomBefore = game().Random.State();
  EXPECT_EQ(SpawnAndShowObject(game(), ObjectKind::Bonus10), nullptr);
  EXPECT_EQ(SpriteCount(), sprites);
  EXPECT_EQ(game().Random.State(), randomBefore);
}

}  // namespace
}  // namespace rivoltra::testing
