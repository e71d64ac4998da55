// rivoltra-frame-probe game|bare SECONDS [SCALE [REPLAY]]
// rivoltra-frame-probe race SECONDS [GHOST.rvr]
// rivoltra-frame-probe race-start SERVER|offline
//   game: the real game loop (start-up, main menu) in a real window for SECONDS, the window
//         SCALE times 800 x 600 (as --scale; default the player's setting); with a replay file,
//         the race it recorded instead of the main menu (as --replay).
//   race: the same loop racing: car 1 from a fixed seed with the accelerator held, a new game
//         whenever one ends; with a replay, every race runs against its ghost. Its CPU seconds
//         are the loop's, from the first race's start (the shutdown's saving included).
//   race-start: from the main menu a click on START, and after a quick player's choice of
//         kChoosingMs a click on the first car; the time from that click to the end of the first
//         race tick (its frame presented), and whether the race took the ticket the car choice
//         asked SERVER for (offline: no server set, no ticket asked for).
//   bare: a loop that only presents an 800 x 600 5-6-5 buffer every 30 ms through the same
//         presenter and the same absolute-deadline sleep.
// Prints one JSON line: CPU seconds used (the whole run, start-up included), the CPU each tick
// costs once running (from the first tick to the last, all threads: drawing, scaling, upload,
// present), ticks, and the tick intervals' spread.
#include <SDL.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/game.h"
#include "app/race_recording.h"
#include "app/screens.h"
#include "formats/replay_file.h"
#include "platform/desktop/sdl_main_loop.h"
#include "platform/sdl/sdl_platform.h"
#include "ui/screen_layout.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The CPU time at the first and the last tick.
struct TickCpu {
  double First = 0;
  double Last = 0;
};

void Report(const char* mode, double cpu, const TickCpu& tickCpu,
            const std::vector<std::uint32_t>& ticks) {
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
  const double cpuPerTickMs = ticks.size() < 2 ? 0.0
                                               : (tickCpu.Last - tickCpu.First) * 1000.0 /
                                                     static_cast<double>(ticks.size() - 1);
  std::printf(
      "{\"mode\":\"%s\",\"cpu_seconds\":%.3f,\"cpu_ms_per_tick\":%.3f,\"ticks\":%zu,\"within_"
      "30pm2\":%.4f,"
      "\"interval_min\":%lld,\"interval_median\":%lld,\"interval_p99\":%lld,\"interval_max\":%lld}"
      "\n",
      mode, cpu, cpuPerTickMs, ticks.size(),
      intervals.empty() ? 0.0 : static_cast<double>(within) / static_cast<double>(intervals.size()),
      static_cast<long long>(intervals.empty() ? 0 : intervals.front()),
      static_cast<long long>(percentile(0.5)), static_cast<long long>(percentile(0.99)),
      static_cast<long long>(intervals.empty() ? 0 : intervals.back()));
}

// The tick's clock reading, and the CPU time from the first tick to this one.
void RecordTick(std::uint32_t now, std::vector<std::uint32_t>& ticks, TickCpu& tickCpu) {
  tickCpu.Last = CpuSeconds();
  if (ticks.empty()) tickCpu.First = tickCpu.Last;
  ticks.push_back(now);
}

int RunGame(std::uint32_t seconds, int scale, const std::string& replayFile) {
  std::optional<rivoltra::Replay> replay;
  if (!replayFile.empty()) {
    try {
      replay = rivoltra::LoadReplayFile(replayFile);
    } catch (const rivoltra::ReplayError& error) {
      std::fprintf(stderr, "rivoltra-frame-probe: %s\n", error.what());
      return 1;
    }
  }
  std::vector<std::uint32_t> ticks;
  TickCpu tickCpu;
  rivoltra::LoopHooks hooks;
  hooks.AfterTick = [&](rivoltra::Game& game, std::uint32_t now) {
    RecordTick(now, ticks, tickCpu);
    if (ticks.front() + seconds * 1000 <= now) game.Terminated = true;
  };
  const double before = CpuSeconds();
  const auto setup = [scale](rivoltra::App& app) {
    if (scale > 0) app.State().RunWindowScale = scale;
  };
  const auto watch = [&replay](rivoltra::App& app) {
    if (!replay) return;
    if (const std::string refused = app.WatchReplay(*replay); !refused.empty())
      std::fprintf(stderr, "rivoltra-frame-probe: %s\n", refused.c_str());
  };
  const int status = rivoltra::RunSdlProgram(hooks, setup, watch);
  const std::string what = replay ? "race" : "game";
  Report(scale > 0 ? (what + "-" + std::to_string(scale) + "x").c_str() : what.c_str(),
         CpuSeconds() - before, tickCpu, ticks);
  return status;
}

int RunRace(std::uint32_t seconds, const char* ghostFile) {
  std::vector<std::uint32_t> ticks;
  TickCpu tickCpu;
  rivoltra::LoopHooks hooks;
  hooks.AfterTick = [&](rivoltra::Game& game, std::uint32_t now) {
    RecordTick(now, ticks, tickCpu);
    if (ticks.front() + seconds * 1000 <= now) game.Terminated = true;
    if (game.ScreenState != rivoltra::GameScreen::Race) rivoltra::StartGameWithCar(game, 1);
  };
  // The games' saves (own bests, the table) go to a folder of their own, so neither the build
  // folder's saves nor an earlier run's bests are met.
  char folder[] = "/tmp/rivoltra-frame-probe-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  const auto setup = [&folder](rivoltra::App& app) { app.State().Paths.SaveFolder = folder; };
  // The loop's CPU only: the start-up's is the same with and without a ghost.
  double loopStart = 0;
  const auto afterStart = [ghostFile, &loopStart](rivoltra::App& app) {
    rivoltra::Game& game = app.State();
    // Both runs drive the same races: the ghost never changes the player's.
    game.Random.Seed(1);
    game.HeldActions.Set(rivoltra::RaceAction::Accelerate, true);
    // Without a replay there is no ghost at all, not even the own best of the games before.
    game.Preferences.GhostCars = ghostFile != nullptr;
    if (ghostFile != nullptr) game.Ghost.Given = rivoltra::LoadReplayFile(ghostFile);
    rivoltra::StartGameWithCar(game, 1);
    loopStart = CpuSeconds();
  };
  const int status = rivoltra::RunSdlProgram(hooks, setup, afterStart);
  Report(ghostFile != nullptr ? "race-ghost" : "race", CpuSeconds() - loopStart, tickCpu, ticks);
  std::filesystem::remove_all(folder);
  return status;
}

// How long a quick player looks at the cars before clicking one.
constexpr double kChoosingMs = 300;
// A step that has not happened by then (a click that missed its button) ends the probe.
constexpr double kStepLimitMs = 10000;

double MillisecondsNow() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A player's click: the pointer moves over the point, then the button is released there.
void ClickAt(rivoltra::App& app, int x, int y) {
  app.HandleEvent(rivoltra::InputEvent::Mouse(x, y));
  app.HandleEvent(rivoltra::InputEvent::Of(rivoltra::InputKind::Click));
}

int RunRaceStart(const std::string& server) {
  using rivoltra::GameScreen;
  namespace layout = rivoltra::layout;
  enum class Step { OnMainMenu, ChoosingCar, StartingRace, Done };
  Step step = Step::OnMainMenu;
  rivoltra::App* app = nullptr;
  double stepSince = MillisecondsNow();
  double clickToRaceMs = -1;
  bool ticketed = false;
  rivoltra::LoopHooks hooks;
  hooks.AfterTick = [&](rivoltra::Game& game, std::uint32_t) {
    const double now = MillisecondsNow();
    const auto next = [&](Step following) {
      step = following;
      stepSince = now;
    };
    switch (step) {
      case Step::OnMainMenu:
        if (game.ScreenState == GameScreen::MainMenu &&
            game.Menu.MenuPhase == rivoltra::MenuPhases::Ready) {
          ClickAt(*app, layout::kMenuButtonX + layout::kMenuButtonWidth / 2,
                  layout::kMenuButtonY[0] + layout::kMenuButtonHeight / 2);
        }
        if (game.ScreenState == GameScreen::CarChoice) next(Step::ChoosingCar);
        break;
      case Step::ChoosingCar:
        if (now - stepSince < kChoosingMs) break;
        ClickAt(*app, layout::kCarButtonX[0] + 50, layout::kCarButtonY + 50);
        next(Step::StartingRace);
        break;
      case Step::StartingRace:
        if (game.ScreenState != GameScreen::Race) break;
        clickToRaceMs = now - stepSince;
        ticketed = rivoltra::ReadReplay(rivoltra::CurrentReplayBytes(game), "the race")
                       .Header.Ticket.has_value();
        next(Step::Done);
        game.Terminated = true;
        break;
      case Step::Done:
        break;
    }
    if (now - stepSince > kStepLimitMs) game.Terminated = true;
  };
  char folder[] = "/tmp/rivoltra-frame-probe-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  const auto setup = [&](rivoltra::App& started) {
    app = &started;
    started.State().Paths.SaveFolder = folder;
    started.State().Online.ServerBase = server == "offline" ? "" : server;
  };
  const int status = rivoltra::RunSdlProgram(hooks, setup);
  std::filesystem::remove_all(folder);
  if (step != Step::Done) {
    std::fprintf(stderr, "rivoltra-frame-probe: the race did not start\n");
    return 1;
  }
  std::printf(
      "{\"mode\":\"race-start\",\"server\":\"%s\",\"click_to_race_ms\":%.1f,"
      "\"ticketed\":%s}\n",
      server.c_str(), clickToRaceMs, ticketed ? "true" : "false");
  return status;
}

int RunBare(std::uint32_t seconds) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return 1;
  std::vector<std::uint32_t> ticks;
  TickCpu tickCpu;
  const double before = CpuSeconds();
  {
    // The bare loop never talks to the score server.
    rivoltra::SdlPlatform platform({});
    // The sound device runs as in the game, so both loops pay for the mixer's thread.
    platform.StartSoundOutput();
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
      tickCpu.Last = CpuSeconds();
      if (ticks.empty()) tickCpu.First = tickCpu.Last;
      ticks.push_back(platform.Milliseconds());
      buffer.Fill(static_cast<rivoltra::Pixel565>(ticks.size()));
      platform.Present(buffer);
      next += 30;
    }
  }
  SDL_Quit();
  Report("bare", CpuSeconds() - before, tickCpu, ticks);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc >= 3 ? argv[1] : "";
  if (argc > 5 || (mode != "game" && mode != "bare" && mode != "race" && mode != "race-start") ||
      (mode == "race" && argc > 4) || (mode == "race-start" && argc != 3)) {
    std::fprintf(stderr,
                 "usage: rivoltra-frame-probe game|bare SECONDS [SCALE [REPLAY]]\n"
                 "       rivoltra-frame-probe race SECONDS [GHOST.rvr]\n"
                 "       rivoltra-frame-probe race-start SERVER|offline\n");
    return 2;
  }
  if (mode == "race-start") return RunRaceStart(argv[2]);
  const auto seconds = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  if (mode == "race") return RunRace(seconds, argc == 4 ? argv[3] : nullptr);
  const int scale = argc >= 4 ? std::atoi(argv[3]) : 0;
  const std::string replay = argc == 5 ? argv[4] : "";
  return mode == "game" ? RunGame(seconds, scale, replay) : RunBare(seconds);
}
