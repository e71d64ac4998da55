#include "app/game.h"
#include "app/screens.h"
#include "engine/file_names.h"

namespace rivoltra {

void RunStartup(Game& game) {
  game.InterfaceImages.Items().LoadArchive(Utf8FromPath(game.paths.DataFile("Res/Res1.gfx")));
  game.RaceImages.Items().LoadArchive(Utf8FromPath(game.paths.DataFile("Res/Res3.gfx")));
  game.Sounds.Items().LoadArchive(Utf8FromPath(game.paths.DataFile("Res/Sounds.sfx")));
  game.Random.Seed(StartupSeed(game.platform.PerformanceCounter(), game.platform.Milliseconds()));
  // The save files never stop the start-up: a missing, short or malformed one gives its
  // defaults, and a table that does not match the stored check string is reset silently.
  LoadHighScores(game.highScores, LoadableSaveFile(game.paths, kHighScoreFileName));
  LoadSettings(game.settings, game.StoredCheckString,
               LoadableSaveFile(game.paths, kSettingsFileName));
  if (ComputeCheckString(game.highScores) != game.StoredCheckString) {
    ResetHighScores(game.highScores);
  }
  if (game.RunFullScreen) {
    game.StoredFullScreen = game.settings.FullScreen;
    game.settings.FullScreen = *game.RunFullScreen;
  }
  ApplyDisplayMode(game);
  game.text.PrepareFontTables();
  game.ScrollBackground = new ScrollingBackground(
      &game.Sprites.Engine(), ScreenImageList(game).ItemByName("MainMenuBackground"),
      game.race.ScrollSpeed);
  ShowMainMenu(game, true, MenuEntryModes::SelectStart);
  game.StartupComplete = true;
}

}  // namespace rivoltra
