#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/game.h"
#include "app/race_scene/car.h"
#include "app/race_scene/explosion.h"
#include "app/race_scene/race.h"
#include "app/race_scene/spawning.h"
#include "app/race_scene/track_object.h"
#include "race/core/object_contact.h"
#include "race/core/track_kinds.h"
#include "race/core/track_objects.h"
#include "race/road.h"
#include "runner/script_runner.h"
#include "ui/caption_sprite.h"

namespace rivoltra {
// Kinds print as their numbers in test messages.
inline std::ostream& operator<<(std::ostream& out, ObjectKind kind) {
  return out << KindNumber(kind);
}
}  // namespace rivoltra

namespace rivoltra::testing {

// A real game on the headless machine, started through the runner with a fixed seed and raced
// with car 1. Objects are placed by the test through the race's own spawn function.
class RaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runner_.Start();
    Game().Settings.SoundEnabled = 1;
    menuSpriteCount_ = SpriteCount();
    Run("seed 7");
    Run("race 1");
  }

  void Run(const std::string& line) { runner_.Execute(line); }
  void Tick(int count = 1) { Run("tick " + std::to_string(count)); }
  void Hold(const std::string& key) { Run("down " + key); }
  void Release(const std::string& key) { Run("up " + key); }
  void Press(const std::string& key) {
    Hold(key);
    Tick();
    Release(key);
  }

  rivoltra::Game& Game() { return runner_.Game(); }
  // The game's race state and the scene that shows it.
  RaceState& Race() { return Game().Race.State; }
  RaceScene& Scene() { return Game().RaceScene; }
  // The car of the race state: what the rules read and write.
  CarState& Car() { return Race().Car; }
  PlayerCarSprite& CarSprite() { return *Scene().PlayerCar; }
  // The sprite that shows an object.
  TrackObjectSprite& SpriteOf(const TrackObject& object) {
    return *Scene().Slots[static_cast<std::size_t>(object.Slot)];
  }
  int SpriteCount() { return Game().Sprites.Engine().SpriteCount(); }
  int MenuSpriteCount() const { return menuSpriteCount_; }

  // Ticks until play is live; fails the test after far more ticks than the banner lasts.
  void PassStartBanner() {
    for (int i = 0; i < 200 && !Race().RaceRunning; ++i) Tick();
    ASSERT_TRUE(Race().RaceRunning);
  }
  // Nothing appears by chance from now on in this level.
  void QuietRoad() { Race().SpawnChance.fill(0); }

  // The lane whose span holds the car's centre.
  int CarLane() {
    const double centre = Car().X + Car().Width / 2.0;
    for (int lane = 1; lane <= 4; ++lane) {
      if (kLaneEdge[lane - 1] <= centre && centre < kLaneEdge[lane]) return lane;
    }
    return 0;
  }

  // An object of the kind in the car's lane, moved so that it touches the car on the next move.
  TrackObject& ObjectOnCar(ObjectKind kind) {
    TrackObject* object = SpawnAndShowObject(Game(), kind, CarLane());
    EXPECT_NE(object, nullptr);
    object->X = Car().X + (Car().Width - object->Width) / 2.0;
    object->Y = Car().Y - object->Height + 10;
    return *object;
  }

  // The crash explosion hidden and back on its first frame, as after a respawn.
  void ResetCrashExplosion() {
    CrashExplosionState& explosion = Race().CarExplosion;
    explosion.Visible = false;
    explosion.Frames.Pos = 0;
    explosion.Frames.Speed = 0;
    explosion.FramesSeen = 0;
    explosion.LastFrame = 0;
  }

  // Sounds started since the last call, in order.
  std::vector<std::string> TakeStartedSounds() {
    std::vector<std::string> started;
    for (const auto& [play, name] : runner_.Context().SoundLog) {
      if (play) started.push_back(name);
    }
    runner_.Context().SoundLog.clear();
    return started;
  }

  std::ostringstream out_;
  ScriptRunner runner_{out_};

 private:
  int menuSpriteCount_ = 0;
};

inline bool Contains(const std::vector<std::string>& names, const std::string& name) {
  for (const auto& n : names) {
    if (n == name) return true;
  }
  return false;
}

}  // namespace rivoltra::testing
