#include "app/game.h"

namespace rivoltra {

void MTimerTimer(Game& game, std::int32_t lagCount) {
  if (!game.StartupComplete) return;
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void DrawFrame(Game& game, std::int32_t /*lag*/, bool /*moveAll*/) {
  if (game.MDisplay.IsInitialized()) game.MDisplay.BackBuffer().Fill(0);
}

void FlipFrame(Game& game) { game.MDisplay.Flip(); }

}  // namespace rivoltra
