// The game in a browser page.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/game.h"
#include "app/replay_playback.h"
#include "persist/game_paths.h"
#include "persist/online.h"
#include "persist/replay_file.h"
#include "platform/web/web_main_loop.h"

namespace {

using namespace rivoltra;

// The page's data package puts the game data here; the page mounts the browser's storage on the
// save folder before the program starts.
constexpr char kDataFolder[] = "/Data";
constexpr char kSaveFolder[] = "/save";

// The server that serves the page is the score server (scheme, host and port of the page's
// address); a page opened some other way keeps the build's addresses.
// clang-format off
EM_JS(char*, rivoltra_page_origin, (), {
  const origin = (location.protocol === 'http:' || location.protocol === 'https:') ?
      location.origin : "";
  const length = lengthBytesUTF8(origin) + 1;
  const text = _malloc(length);
  stringToUTF8(origin, text, length);
  return text;
});
// clang-format on

OnlineConfig PageOnlineConfig() {
  OnlineConfig online = DefaultOnlineConfig();
  char* origin = rivoltra_page_origin();
  if (origin != nullptr && *origin != '\0') {
    online.ServerBase = origin;
    online.WebSite = std::string(origin) + "/";
  }
  std::free(origin);
  return online;
}

// The page was opened to watch a verified entry's replay (fetched by the page into this file):
// it plays from the main menu and returns there at its end. A replay that cannot be played is
// said so, and the game is there to play.
void WatchReplay(Game& game, const char* file) {
  try {
    const Replay replay = LoadReplayFile(file);
    if (const std::string refused = StartReplayPlayback(game, replay); !refused.empty()) {
      game.platform.ShowMessage(refused);
    }
  } catch (const ReplayError& error) {
    game.platform.ShowMessage(std::string("The replay could not be loaded: ") + error.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  GamePaths paths;
  paths.DataFolder = kDataFolder;
  paths.SaveFolder = kSaveFolder;
  if (const std::string problem = PrepareSaveFolder(paths); !problem.empty()) {
    std::fprintf(stderr, "Rivoltra: %s\n", problem.c_str());
  }
  const OnlineConfig online = PageOnlineConfig();
  StartWebProgram(
      [&](Game& game) {
        game.paths = paths;
        game.online = online;
        // A page may only go full screen on the player's key press or click: it always starts in
        // the window, and a saved full-screen option stays saved for the desktop's sake.
        game.RunFullScreen = 0;
      },
      [&](Game& game) {
        if (argc == 3 && std::string(argv[1]) == "--replay") WatchReplay(game, argv[2]);
      });
  return 0;
}
