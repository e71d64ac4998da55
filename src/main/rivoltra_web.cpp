// The game in a browser page.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
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

}  // namespace

int main(int argc, char** argv) {
  StartOptions options;
  options.Paths.DataFolder = kDataFolder;
  options.Paths.SaveFolder = kSaveFolder;
  if (const std::string problem = PrepareSaveFolder(options.Paths); !problem.empty()) {
    std::fprintf(stderr, "Rivoltra: %s\n", problem.c_str());
  }
  options.Online = PageOnlineConfig();
  // A page may only go full screen on the player's key press or click: it always starts in the
  // window, and a saved full-screen option stays saved for the desktop's sake.
  options.FullScreen = 0;
  // A phone is often offline: a result that cannot be sent is kept and sent later.
  options.KeepUnsentResults = true;
  // "?replay=ID": the page fetched a verified entry's replay into this file.
  const std::string replayFile =
      argc == 3 && std::string(argv[1]) == "--replay" ? std::string(argv[2]) : std::string();
  StartWebProgram(options, replayFile);
  return 0;
}
