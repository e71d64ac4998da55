#include <filesystem>
#include <system_error>

#include "app/game.h"

namespace rivoltra {

void SaveAndQuit(Game& game) { game.Terminated = true; }

void RunProgramEnd(Game& game) {
  std::error_code error;
  // A failed request to open the link file is ignored.
  if (std::filesystem::exists("play.url", error)) game.platform.OpenWithShell("play.url");
  SaveAndQuit(game);
}

}  // namespace rivoltra
