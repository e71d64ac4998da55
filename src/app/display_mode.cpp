#include "app/game.h"

namespace rivoltra {

void ApplyDisplayMode(Game& game) {
  if (game.settings.FullScreen == 1) {
    SetFullScreen(game);
  } else {
    SetWindowed(game);
  }
}

// Finalizing stops the frame tick (through the display's finalize event) and initializing
// starts it again, so no tick runs while the surfaces are being rebuilt.
void SetWindowed(Game& game) {
  game.MDisplay.Finalize();
  game.platform.RestoreWindowPlacement();
  game.MDisplay.FullScreenOption = false;
  game.MDisplay.Initialize();
}

void SetFullScreen(Game& game) {
  game.MDisplay.Finalize();
  game.platform.StoreWindowPlacement();
  game.MDisplay.FullScreenOption = true;
  game.MDisplay.Initialize();
}

}  // namespace rivoltra
