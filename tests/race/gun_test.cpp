// The gun: the aim line, three hits of held fire, points by kind, the spark and the sound.
#include <algorithm>

#include "race_fixture.h"

namespace rivoltra::testing {
namespace {

class GunTest : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    PassStartBanner();
    QuietRoad();
    ObjectOnCar(ObjectKind::BonusGun);
    Tick();
    ASSERT_TRUE(Race().GunActive);
  }

  // An object centred on the car's aim line, the given distance above the car.
  TrackObject& Ahead(ObjectKind kind, double distance) {
    TrackObject* object = nullptr;
    for (int lane = 2; lane <= 4 && object == nullptr; ++lane)
      object = SpawnAndShowObject(Game(), kind, lane);
    EXPECT_NE(object, nullptr);
    object->X = Car().X + Car().Width / 2.0 - object->Width / 2.0;
    object->Y = Car().Y - distance;
    return *object;
  }
};

TEST_F(GunTest, ThreeTicksOfHeldFireDestroyATargetForItsPoints) {
  const struct {
    ObjectKind Kind;
    int Points;
  } cases[] = {{ObjectKind::Wall05, 10},   {ObjectKind::Wall10, 10},  {ObjectKind::Car5, 20},
               {ObjectKind::Car10Inv, 20}, {ObjectKind::Bonus100, 0}, {ObjectKind::BonusTurbo, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Kind);
    Race().Score = 0;
    TrackObject& target = Ahead(c.Kind, 300);
    target.OwnSpeed = 0;
    Hold("Space");
    Tick(2);
    EXPECT_EQ(target.Hits, 2);
    EXPECT_FALSE(target.Exploding);
    EXPECT_TRUE(Scene().ShotSpark->Visible);
    EXPECT_EQ(Scene().ShotSpark->X, Car().X + Car().Width / 2.0);
    Tick();
    EXPECT_TRUE(target.Exploding);
    EXPECT_EQ(SpriteOf(target).Image->Name(), "ExplosionSmall");
    EXPECT_EQ(Race().Score, c.Points);
    Release("Space");
    Tick();
    EXPECT_FALSE(Scene().ShotSpark->Visible);
    ClearTrackObjects(Game());
  }
}

TEST_F(GunTest, TheNearestShootableObjectOnTheAimLineIsHit) {
  TrackObject& far = Ahead(ObjectKind::Wall05, 400);
  TrackObject& spike = Ahead(ObjectKind::Spike10, 100);  // not shootable: the shot passes it
  TrackObject& near = Ahead(ObjectKind::Wall10, 200);
  TrackObject& behind = Ahead(ObjectKind::Bonus10, -120);
  // Ctrl held, as the key handlers report it.
  Game().FireKeyHeld = true;
  Tick();
  EXPECT_EQ(near.Hits, 1);
  EXPECT_EQ(far.Hits, 0);
  EXPECT_EQ(spike.Hits, 0);
  EXPECT_EQ(behind.Hits, 0);
  Game().FireKeyHeld = false;
}

TEST_F(GunTest, AnObjectBesideTheAimLineIsNotHit) {
  TrackObject& wall = Ahead(ObjectKind::Wall05, 300);
  wall.X = Car().X + Car().Width / 2.0 + 0.5;
  Hold("Space");
  Tick();
  EXPECT_EQ(wall.Hits, 0);
  EXPECT_FALSE(Scene().ShotSpark->Visible);
}

TEST_F(GunTest, FireShowsTheFlameAndStartsTheShotSoundOncePerPress) {
  TakeStartedSounds();
  Hold("Space");
  Tick(3);
  EXPECT_TRUE(Scene().BonusFlame->Visible);
  const auto sounds = TakeStartedSounds();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "Shot"), 1);
  Release("Space");
  Tick();
  EXPECT_FALSE(Scene().BonusFlame->Visible);
}

TEST_F(GunTest, TheGunSitsOnTheCarAndFollowsIt) {
  Hold("Up");
  Hold("Right");
  Tick(60);
  const CaptionSprite& icon = *Scene().BonusIcon;
  const CaptionSprite& flame = *Scene().BonusFlame;
  EXPECT_DOUBLE_EQ(icon.X, Car().X + (Car().Width - icon.Width) / 2.0);
  EXPECT_DOUBLE_EQ(icon.Y, Car().Y + Car().Height * 0.3);
  EXPECT_DOUBLE_EQ(flame.X, icon.X - 5);
  EXPECT_DOUBLE_EQ(flame.Y, icon.Y - flame.Height);
  EXPECT_EQ(icon.Z(), CarSprite().Z() + 1);
  EXPECT_EQ(flame.Z(), CarSprite().Z() + 1);
}

}  // namespace
}  // namespace rivoltra::testing
