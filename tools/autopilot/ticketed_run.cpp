// rivoltra-ticketed-run [--daily] SERVER MIN_TICKS OUT [NAME [send]]: the autopilot plays games
// that take their race ticket from the score server at SERVER, as choosing a car in the game does,
// until one lasts at least MIN_TICKS race ticks (at most kMaxGames games); that game's replay is
// written to OUT. With --daily every game is today's daily run (UTC), with the day's ticket. With
// NAME, the game must also earn a place in the local table and NAME is entered, so the replay
// carries it; with "send" the game is then sent the way a player sends it (OK on the send-results
// screen), replay included. Prints {"ticks":..,"score":..,"games":..}. For measuring the server's
// upload and verification of long, honestly played runs, and for tests that need a verified game on
// a server. Run from a folder that holds Data/.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <sstream>
#include <string>

#include "app/race_recording.h"
#include "autopilot.h"
#include "formats/daily_course.h"
#include "runner/script_runner.h"
#include "system/save_file.h"

namespace {

constexpr int kMaxGames = 80;
// A game the autopilot has not finished by then is given up, so the tool always ends.
constexpr long kMaxTicksPerGame = 60000;

}  // namespace

int main(int argc, char** argv) {
  using namespace rivoltra;
  const bool daily = argc >= 2 && std::string(argv[1]) == "--daily";
  if (daily) {
    --argc;
    ++argv;
  }
  const long minTicks = argc >= 4 ? std::strtol(argv[2], nullptr, 10) : 0;
  const bool send = argc == 6 && std::string(argv[5]) == "send";
  if (argc < 4 || argc > 6 || (argc == 6 && !send) || minTicks <= 0) {
    std::fprintf(stderr,
                 "usage: rivoltra-ticketed-run [--daily] SERVER MIN_TICKS OUT [NAME [send]]\n");
    return 2;
  }
  try {
    std::ostringstream discard;
    ScriptRunner runner(discard);
    runner.Start();
    runner.Execute(std::string("server ") + argv[1]);
    Game& game = runner.Game();
    Autopilot pilot(game, runner.Platform().Keys());
    for (int games = 1; games <= kMaxGames; ++games) {
      pilot.ReleaseAll();
      runner.Execute(daily ? "daily " + DateTextOf(DayOfUnixSeconds(std::time(nullptr)))
                           : "race " + std::to_string((games - 1) % 4 + 1));
      long ticks = 0;
      while (game.ScreenState == GameScreen::Race && ticks < kMaxTicksPerGame) {
        pilot.Drive();
        runner.Execute("tick");
        runner.Context().SoundLog.clear();
        ++ticks;
      }
      const long recorded = game.Replay.Recorder.TickCount();
      if (recorded < minTicks) continue;
      if (argc >= 5) {
        if (game.ScreenState != GameScreen::NameEntry) continue;
        for (const std::string& line :
             {std::string("tick"), std::string("type \\b\\b\\b\\b\\b\\b") + argv[4],
              std::string("tick"), std::string("type \\r"), std::string("tick")}) {
          runner.Execute(line);
        }
      }
      SaveReplayFile(argv[3], CurrentReplayBytes(game));
      if (send) {
        runner.Execute("type \\r");
        runner.Execute("tick 5");
      }
      std::printf("{\"ticks\":%ld,\"score\":%d,\"games\":%d}\n", recorded,
                  static_cast<int>(game.Race.State.Score), games);
      return 0;
    }
    std::fprintf(stderr, "rivoltra-ticketed-run: no game of %ld ticks in %d games\n", minTicks,
                 kMaxGames);
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rivoltra-ticketed-run: %s\n", error.what());
    return 1;
  }
}
