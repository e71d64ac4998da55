#include "app/game.h"

namespace rivoltra {

void FormCreate(Game& game) {
  game.MImageList.Items().LoadArchive("Data/Res/Res1.gfx");
  game.MImageList3.Items().LoadArchive("Data/Res/Res3.gfx");
  game.Random.Seed(StartupSeed(game.platform.PerformanceCounter(), game.platform.Milliseconds()));
  ApplyDisplayMode(game);
  game.text.PrepareFontTables();
  game.ScrollBackground =
      new TScrollBackground(&game.MSpriteEngine.Engine(),
                            ScreenImageList(game).ItemByName("MainMenuBackground"), game.race.Speed);
  EnableTimer(game);
  game.StartupComplete = true;
}

}  // namespace rivoltra
