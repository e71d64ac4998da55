#include "app/game.h"

namespace rivoltra {

void FormCreate(Game& game) {
  game.Random.Seed(StartupSeed(game.platform.PerformanceCounter(), game.platform.Milliseconds()));
  ApplyDisplayMode(game);
  EnableTimer(game);
  game.StartupComplete = true;
}

}  // namespace rivoltra
