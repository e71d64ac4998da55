// rivoltra-race-bench [TICKS] [SEED]: race ticks with the autopilot on the headless machine,
// drawing included, from the build folder (which holds Data/). Prints ticks per second and the
// peak resident memory. A finished game is followed by a new one with the next car.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>

#include "autopilot.h"
#include "runner/script_runner.h"

namespace {

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace rivoltra;
  const long ticks = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  const long seed = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 20240611;
  if (ticks <= 0 || seed < 0) {
    std::fprintf(stderr, "usage: rivoltra-race-bench [TICKS] [SEED]\n");
    return 2;
  }
  try {
    std::ostringstream discard;
    ScriptRunner runner(discard);
    runner.Start();
    runner.Execute("seed " + std::to_string(seed));
    Game& game = runner.Game();
    Autopilot pilot(game, runner.Platform().Keys());
    int car = 1;
    long raceTicks = 0;
    long games = 0;
    std::int32_t bestLevel = 0;
    const auto start = std::chrono::steady_clock::now();
    while (raceTicks < ticks) {
      if (game.ScreenState != GameScreen::Race) {
        pilot.ReleaseAll();
        runner.Execute("race " + std::to_string(car));
        car = car % 4 + 1;
        ++games;
      }
      pilot.Drive();
      runner.Execute("tick");
      runner.Context().SoundLog.clear();
      ++raceTicks;
      if (game.Race.State.Level > bestLevel) bestLevel = game.Race.State.Level;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("race ticks: %ld\n", raceTicks);
    std::printf("games started: %ld, highest level: %d\n", games, bestLevel);
    std::printf("seconds: %.3f\n", elapsed.count());
    std::printf("ticks per second: %.0f\n", static_cast<double>(raceTicks) / elapsed.count());
    std::printf("peak resident memory: %ld KiB\n", PeakResidentKilobytes());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rivoltra-race-bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
