#include "app/game.h"

namespace rivoltra {

void MTimerTimer(Game& game, std::int32_t lagCount) {
  if (!game.StartupComplete) return;
  KeepMusicPlaying(game);
  game.MInput.Update();
  DrawFrame(game, lagCount, true);
  FlipFrame(game);
}

void DrawFrame(Game& game, std::int32_t lag, bool moveAll) {
  if (game.MDisplay.IsInitialized()) game.MDisplay.BackBuffer().Fill(0);
  if (moveAll) game.MSpriteEngine.MoveSprites(lag);
  game.MSpriteEngine.DrawSprites();
}

void FlipFrame(Game& game) { game.MDisplay.Flip(); }

}  // namespace rivoltra
