#include "app/game.h"

namespace rivoltra {

void ApplyDisplayMode(Game& game) {
  if (game.Settings.FullScreen == 1) {
    SetFullScreen(game);
  } else {
    SetWindowed(game);
  }
}

// Finalizing stops the frame tick (through the display's finalize event) and initializing
// starts it again, so no tick runs while the surfaces are being rebuilt.
void SetWindowed(Game& game) {
  game.Screen.Finalize();
  game.Platform.RestoreWindowPlacement();
  game.Screen.FullScreenOption = false;
  game.Screen.Initialize();
}

void SetFullScreen(Game& game) {
  game.Screen.Finalize();
  game.Platform.StoreWindowPlacement();
  game.Screen.FullScreenOption = true;
  game.Screen.Initialize();
}

}  // namespace rivoltra
