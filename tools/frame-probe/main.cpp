// rivoltra-frame-probe game|bare SECONDS [SCALE]
//   game: the real game loop (start-up, main menu) in a real window for SECONDS, the window
//         SCALE times 800 x 600 (as --scale; default the player's setting).
//   bare: a loop that only presents an 800 x 600 5-6-5 buffer every 30 ms through the same
//         presenter and the same absolute-deadline sleep.
// Prints one JSON line: CPU seconds used, ticks, and the tick intervals' spread.
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/game.h"
#include "platform/desktop/sdl_main_loop.h"
#include "platform/sdl/sdl_platform.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Report(const char* mode, double cpu, const std::vector<std::uint32_t>& ticks) {
  std::vector<std::int64_t> intervals;
  for (std::size_t i = 1; i < ticks.size(); ++i)
    intervals.push_back(static_cast<std::int64_t>(ticks[i] - ticks[i - 1]));
  std::size_t within = 0;
  for (const std::int64_t interval : intervals)
    within += (interval >= 28 && interval <= 32) ? 1 : 0;
  std::sort(intervals.begin(), intervals.end());
  const auto percentile = [&](double p) {
    return intervals.empty()
               ? 0
               : intervals[static_cast<std::size_t>(p * static_cast<double>(intervals.size() - 1))];
  };
  std::printf(
      "{\"mode\":\"%s\",\"cpu_seconds\":%.3f,\"ticks\":%zu,\"within_30pm2\":%.4f,"
      "\"interval_min\":%lld,\"interval_median\":%lld,\"interval_p99\":%lld,\"interval_max\":%lld}"
      "\n",
      mode, cpu, ticks.size(),
      intervals.empty() ? 0.0 : static_cast<double>(within) / static_cast<double>(intervals.size()),
      static_cast<long long>(intervals.empty() ? 0 : intervals.front()),
      static_cast<long long>(percentile(0.5)), static_cast<long long>(percentile(0.99)),
      static_cast<long long>(intervals.empty() ? 0 : intervals.back()));
}

int RunGame(std::uint32_t seconds, int scale) {
  std::vector<std::uint32_t> ticks;
  rivoltra::LoopHooks hooks;
  hooks.afterTick = [&](rivoltra::Game& game, std::uint32_t now) {
    ticks.push_back(now);
    if (ticks.front() + seconds * 1000 <= now) game.Terminated = true;
  };
  const double before = CpuSeconds();
  const auto setup = [scale](rivoltra::App& app) {
    if (scale > 0) app.State().RunWindowScale = scale;
  };
  const int status = rivoltra::RunSdlProgram(hooks, setup);
  Report(scale > 0 ? ("game-" + std::to_string(scale) + "x").c_str() : "game",
         CpuSeconds() - before, ticks);
  return status;
}

int RunBare(std::uint32_t seconds) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return 1;
  std::vector<std::uint32_t> ticks;
  const double before = CpuSeconds();
  {
    // The bare loop never talks to the score server.
    rivoltra::SdlPlatform platform({});
    std::string reason;
    if (!platform.Open(false, 800, 600, reason)) return 1;
    rivoltra::Surface buffer(800, 600);
    std::uint32_t next = platform.Milliseconds() + 30;
    const std::uint32_t end = platform.Milliseconds() + seconds * 1000;
    while (static_cast<std::int32_t>(end - platform.Milliseconds()) > 0) {
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
      }
      platform.SleepUntil(next);
      ticks.push_back(platform.Milliseconds());
      buffer.Fill(static_cast<rivoltra::Pixel565>(ticks.size()));
      platform.Present(buffer);
      next += 30;
    }
  }
  SDL_Quit();
  Report("bare", CpuSeconds() - before, ticks);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (std::string(argv[1]) != "game" && std::string(argv[1]) != "bare")) {
    std::fprintf(stderr, "usage: rivoltra-frame-probe game|bare SECONDS [SCALE]\n");
    return 2;
  }
  const auto seconds = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  const int scale = argc == 4 ? std::atoi(argv[3]) : 0;
  return std::string(argv[1]) == "game" ? RunGame(seconds, scale) : RunBare(seconds);
}
