#include "app/game.h"
#include "app/screens.h"

namespace rivoltra {

void FormCreate(Game& game) {
  game.MImageList.Items().LoadArchive("Data/Res/Res1.gfx");
  game.MImageList3.Items().LoadArchive("Data/Res/Res3.gfx");
  game.MSoundList.Items().LoadArchive("Data/Res/Sounds.sfx");
  game.Random.Seed(StartupSeed(game.platform.PerformanceCounter(), game.platform.Milliseconds()));
  // The save files never stop the start-up: a missing, short or malformed one gives its
  // defaults, and a table that does not match the stored check string is reset silently.
  LoadHighScores(game.highScores);
  LoadSettings(game.settings, game.StoredCheckString);
  if (ComputeCheckString(game.highScores) != game.StoredCheckString) {
    ResetHighScores(game.highScores);
  }
  ApplyDisplayMode(game);
  game.text.PrepareFontTables();
  game.ScrollBackground =
      new TScrollBackground(&game.MSpriteEngine.Engine(),
                            ScreenImageList(game).ItemByName("MainMenuBackground"), game.race.Speed);
  ShowMainMenu(game, true, 0);
  game.StartupComplete = true;
}

}  // namespace rivoltra
