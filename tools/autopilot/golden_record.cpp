// rivoltra-golden-record DIR: writes the runner scripts of the golden traces. Each scenario is a
// whole game played by the autopilot (or by a careless driver), with pauses, finish prompts,
// name entry and the screens after the race; what the drivers decide is written down as plain
// runner commands, so the scripts replay without the autopilot. tests/golden/update.sh runs them
// through rivoltra-script to make the expected outputs. Run from the build folder (Data/).
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/game.h"
#include "autopilot.h"
#include "runner/script_runner.h"

namespace rivoltra {
namespace {

// How often the scripts print the game's state and the sounds, in ticks.
constexpr int kStateEvery = 20;

struct Scenario {
  const char* Name;
  std::uint32_t Seed;
  int Car;
  // Race ticks before the driver starts (the car stands, the clock runs down).
  int IdleTicks = 0;
  // A careless driver: full throttle, weaving, fire held; it crashes a lot.
  bool Careless = false;
  // Race ticks at which P is pressed (and pressed again 40 ticks later), and at which the
  // finish prompt is opened and answered N; 0 for never.
  int PauseAt = 0;
  int PromptAt = 0;
  // After this many race ticks the player gives up through the finish prompt.
  int MaxRaceTicks = 9000;
  // Typed on the name entry, if the score gets there.
  const char* PlayerName = "GOLDEN";
};

class Recorder {
 public:
  explicit Recorder(const Scenario& scenario)
      : scenario_(scenario), runner_(std::make_unique<ScriptRunner>(discard_)) {
    runner_->Start();
    pilot_ = std::make_unique<Autopilot>(runner_->Game(), runner_->Platform().Keys());
    pilot_->SendCommandsTo([this](const std::string& line) { Command(line); });
  }

  std::string Play() {
    Command("seed " + std::to_string(scenario_.Seed));
    Ticks(100);
    StateNow();
    Command("race " + std::to_string(scenario_.Car));
    DriveTheGame();
    AfterTheRace();
    FlushTicks();
    script_ << "state\nsounds\nquit\n";
    return script_.str();
  }

 private:
  rivoltra::Game& Game() { return runner_->Game(); }

  void Command(const std::string& line) {
    FlushTicks();
    script_ << line << '\n';
    runner_->Execute(line);
  }
  void Tick() {
    runner_->Execute("tick");
    ++pendingTicks_;
    if (++sinceState_ == kStateEvery) StateNow();
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) Tick();
  }
  void StateNow() {
    FlushTicks();
    script_ << "state\nsounds\n";
    sinceState_ = 0;
  }
  void FlushTicks() {
    if (pendingTicks_ == 0) return;
    script_ << "tick " << pendingTicks_ << '\n';
    pendingTicks_ = 0;
  }
  void Press(const char* key) {
    Command(std::string("down ") + key);
    Tick();
    Command(std::string("up ") + key);
  }
  // Lets go of every driving key through the script.
  void ReleaseDrivingKeys() {
    pilot_->ReleaseAll();
    for (const char* key : {"Up", "Left", "Right", "Ctrl"}) {
      if (carelessHeld_.count(key) != 0) Command(std::string("up ") + key);
    }
    carelessHeld_.clear();
  }
  void CarelessKey(const std::string& key, bool down) {
    if ((carelessHeld_.count(key) != 0) == down) return;
    if (down) {
      carelessHeld_.insert(key);
    } else {
      carelessHeld_.erase(key);
    }
    Command((down ? "down " : "up ") + key);
  }
  void DriveCarelessly(int raceTick) {
    const bool left = (raceTick / 25) % 2 == 0;
    CarelessKey("Up", true);
    CarelessKey("Ctrl", true);
    CarelessKey("Left", left);
    CarelessKey("Right", !left);
  }

  void DriveTheGame() {
    int raceTick = 0;
    while (Game().ScreenState == GameScreen::Race && raceTick < scenario_.MaxRaceTicks) {
      if (raceTick == scenario_.PauseAt && raceTick > 0) {
        Press("P");
        Ticks(40);
        Press("P");
      }
      if (raceTick == scenario_.PromptAt && raceTick > 0) {
        Press("Escape");
        Ticks(20);
        Press("N");
      }
      if (raceTick < scenario_.IdleTicks) {
        // standing still
      } else if (scenario_.Careless) {
        DriveCarelessly(raceTick);
      } else {
        pilot_->Drive();
      }
      Tick();
      ++raceTick;
    }
    ReleaseDrivingKeys();
    if (Game().ScreenState == GameScreen::Race) {
      // The player gives up: the finish prompt, then yes.
      Ticks(30);
      Press("Escape");
      Ticks(5);
      Press("Y");
    }
    for (int i = 0; i < 2000 && Game().ScreenState == GameScreen::Race; ++i) Tick();
  }

  void AfterTheRace() {
    Ticks(10);
    StateNow();
    if (Game().ScreenState == GameScreen::NameEntry) {
      Command(std::string("type ") + scenario_.PlayerName + "\\r");
      Ticks(30);
      StateNow();
    }
    if (Game().ScreenState == GameScreen::SendResults) {
      Command("mouse 450 320");  // Cancel
      Command("click");
    }
    Ticks(120);
  }

  const Scenario& scenario_;
  std::ostringstream discard_;
  std::unique_ptr<ScriptRunner> runner_;
  std::unique_ptr<Autopilot> pilot_;
  std::ostringstream script_;
  std::set<std::string> carelessHeld_;
  int pendingTicks_ = 0;
  int sinceState_ = 0;
};

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> kScenarios = {
      // Road levels and the first traffic level, a pause and a finish prompt answered N.
      {.Name = "autopilot-car1", .Seed = 101, .Car = 1, .PauseAt = 400, .PromptAt = 900},
      {.Name = "autopilot-car3",
       .Seed = 20261210,
       .Car = 3,
       .PauseAt = 2500,
       .MaxRaceTicks = 12000},
      // The clock runs out on a standing car, then the careless driver crashes to game over.
      {.Name = "time-over-then-crashes",
       .Seed = 303,
       .Car = 4,
       .IdleTicks = 2200,
       .Careless = true},
      // Weaving at full speed with the fire key held: crashes, hazards, the gun when found.
      {.Name = "careless-car2", .Seed = 404, .Car = 2, .Careless = true, .PromptAt = 300},
  };
  return kScenarios;
}

}  // namespace
}  // namespace rivoltra

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rivoltra-golden-record DIR\n");
    return 2;
  }
  try {
    for (const rivoltra::Scenario& scenario : rivoltra::Scenarios()) {
      rivoltra::Recorder recorder(scenario);
      const std::string path = std::string(argv[1]) + "/" + scenario.Name + ".script";
      std::ofstream(path) << "# Golden trace, written by rivoltra-golden-record.\n"
                          << recorder.Play();
      std::printf("%s\n", path.c_str());
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rivoltra-golden-record: %s\n", error.what());
    return 1;
  }
  return 0;
}
