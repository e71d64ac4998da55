// rivoltra-race-shots DIR: pictures of the race as the player sees them (the last presented
// frame) in its main situations, for judging the look: road and traffic levels, a crash, the
// gun and the turbo, and every banner. Run from the build folder (which holds Data/).
#include <cstdio>
#include <exception>
#include <functional>
#include <sstream>
#include <string>

#include "app/game.h"
#include "app/race_scene/car.h"
#include "app/race_scene/race.h"
#include "app/race_scene/spawning.h"
#include "app/race_scene/track_object.h"
#include "autopilot.h"
#include "race/road.h"
#include "runner/png_shot.h"
#include "runner/script_runner.h"

namespace rivoltra {
namespace {

class Shots {
 public:
  explicit Shots(std::string folder) : folder_(std::move(folder)) {}

  // A fresh game with car, seed and the start banner passed.
  void NewRace(int car, int seed) {
    runner_ = std::make_unique<ScriptRunner>(discard_);
    runner_->Platform().KeepPresentedFrames(true);
    runner_->Start();
    Run("seed " + std::to_string(seed));
    Run("race " + std::to_string(car));
    pilot_ = std::make_unique<Autopilot>(Game(), runner_->Platform().Keys());
  }
  void PassBanner() {
    for (int i = 0; i < 200 && !Game().Race.State.RaceRunning; ++i) Run("tick");
  }
  void Drive(int ticks, const std::function<bool()>& until = {}) {
    for (int i = 0; i < ticks && Game().ScreenState == GameScreen::Race; ++i) {
      pilot_->Drive();
      Run("tick");
      if (until && until()) break;
    }
    pilot_->ReleaseAll();
  }
  void Run(const std::string& line) { runner_->Execute(line); }
  rivoltra::Game& Game() { return runner_->Game(); }
  void Save(const std::string& name) {
    const std::string file = folder_ + "/" + name + ".png";
    SaveSurfaceAsPng(runner_->Platform().LastPresented(), file);
    std::printf("%s\n", file.c_str());
  }
  // An object of the kind centred on the car's aim line, distance above the car.
  TrackObject* Ahead(ObjectKind kind, double distance) {
    const CarState& car = Game().Race.State.Car;
    TrackObject* object = nullptr;
    for (int lane = 2; lane <= 4 && object == nullptr; ++lane)
      object = SpawnAndShowObject(Game(), kind, lane);
    if (object == nullptr) return nullptr;
    object->X = car.X + (car.Width - object->Width) / 2.0;
    object->Y = car.Y - distance;
    return object;
  }

 private:
  std::string folder_;
  std::ostringstream discard_;
  std::unique_ptr<ScriptRunner> runner_;
  std::unique_ptr<Autopilot> pilot_;
};

bool TrafficOnScreen(Game& game) {
  int traffic = 0;
  for (const TrackObject& object : game.Race.State.Objects) {
    if (object.Used && object.IsTraffic && object.Y > 0 && object.Y < 450) ++traffic;
  }
  return traffic >= 2;
}

void TakeAll(Shots& shots) {
  shots.NewRace(1, 7);
  shots.Run("tick 20");
  shots.Save("banner-level");
  shots.PassBanner();
  shots.Drive(700);
  shots.Save("road-level");
  shots.Run("down P");
  shots.Run("tick");
  shots.Save("banner-pause");
  shots.Run("up P");
  shots.Run("tick");
  shots.Run("down P");
  shots.Run("tick");
  shots.Run("up P");
  shots.Run("down Escape");
  shots.Run("tick");
  shots.Save("banner-finish-prompt");
  shots.Run("up Escape");

  shots.NewRace(2, 11);
  StartRaceLevel(shots.Game(), 3);
  shots.PassBanner();
  shots.Drive(3000, [&] { return TrafficOnScreen(shots.Game()); });
  shots.Save("traffic-level");

  shots.NewRace(3, 5);
  shots.PassBanner();
  shots.Game().Race.State.SpawnChance.fill(0);
  // A gun on the car, taken in the next tick.
  shots.Ahead(ObjectKind::BonusGun, 10);
  shots.Run("tick");
  shots.Ahead(ObjectKind::Wall10, 260);
  shots.Run("down Up");
  shots.Run("down Ctrl");
  shots.Run("tick 2");
  shots.Save("gun-firing");
  shots.Run("tick 4");
  shots.Save("gun-wall-exploding");
  shots.Run("up Ctrl");

  shots.NewRace(4, 9);
  shots.PassBanner();
  shots.Game().Race.State.SpawnChance.fill(0);
  shots.Game().Race.State.Speed = 15;
  shots.Ahead(ObjectKind::Wall05, 40);
  shots.Run("tick 6");
  shots.Save("crash");
  shots.Game().Race.State.Lives = 0;
  shots.Run("tick 3");
  shots.Save("banner-game-over");

  shots.NewRace(1, 13);
  shots.PassBanner();
  shots.Game().Race.State.SpawnChance.fill(0);
  shots.Game().Race.State.Distance = 29000;
  shots.Run("down Up");
  for (int i = 0;
       i < 1000 && shots.Game().Race.State.FinishPhase != LevelEndPhase::LevelCompletedBanner; ++i)
    shots.Run("tick");
  shots.Run("tick 3");
  shots.Save("banner-level-completed");
  shots.Run("up Up");

  shots.NewRace(2, 17);
  shots.PassBanner();
  shots.Game().Race.State.SpawnChance.fill(0);
  shots.Game().Race.State.TimeLeft = 1;
  shots.Game().Race.State.SecondTimer = 0;
  shots.Run("tick 5");
  shots.Save("banner-time-over");
}

}  // namespace
}  // namespace rivoltra

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rivoltra-race-shots DIR\n");
    return 2;
  }
  try {
    rivoltra::Shots shots(argv[1]);
    rivoltra::TakeAll(shots);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rivoltra-race-shots: %s\n", error.what());
    return 1;
  }
  return 0;
}
