#include <cstdio>
#include <utility>

#include "app/game.h"
#include "app/screens.h"

namespace rivoltra {

namespace {

// The second settings file, after the options file: its switches decide whether the volumes
// play at all. Problems go to stderr; the game starts with whatever could be read.
void LoadPreferencesFile(Game& game) {
  const PreferencesLoad load =
      LoadPreferences(game.Preferences, LoadableSaveFile(game.Paths, kPreferencesFileName));
  for (const std::string& problem : load.Problems) {
    std::fprintf(stderr, "Rivoltra: %s\n", problem.c_str());
  }
  ReconcileVolumes(game.Preferences, game.Settings);
  if (game.RunWindowScale) {
    game.StoredWindowScale = game.Preferences.WindowScale;
    game.Preferences.WindowScale = *game.RunWindowScale;
  }
  ApplyPreferences(game);
}

// The main menu as its slide-in starts (the background and the caption, the panels and the
// buttons still outside the screen), drawn without moving anything: the ticks that follow are
// those of a start-up that showed nothing, so the game plays the same either way.
void ShowFirstPicture(Game& game) {
  DrawFrame(game, 0, false);
  FlipFrame(game);
}

}  // namespace

void RunStartup(Game& game) {
  GameArchives archives = game.TakeArchives ? game.TakeArchives() : ReadGameArchives(game.Paths);
  game.InterfaceImages.Items().Assign(std::move(archives.Interface));
  game.Random.Seed(StartupSeed(game.Platform.PerformanceCounter(), game.Platform.Milliseconds()));
  // The save files never stop the start-up: a missing, short or malformed one gives its
  // defaults, and a table that does not match the stored check string is reset silently.
  LoadHighScores(game.HighScores, LoadableSaveFile(game.Paths, kHighScoreFileName));
  LoadSettings(game.Settings, game.StoredCheckString,
               LoadableSaveFile(game.Paths, kSettingsFileName));
  LoadPreferencesFile(game);
  if (ComputeCheckString(game.HighScores) != game.StoredCheckString) {
    ResetHighScores(game.HighScores);
  }
  if (game.RunFullScreen) {
    game.StoredFullScreen = game.Settings.FullScreen;
    game.Settings.FullScreen = *game.RunFullScreen;
  }
  ApplyDisplayMode(game);
  game.Text.PrepareFontTables();
  game.ScrollBackground = new ScrollingBackground(
      &game.Sprites.Engine(), ScreenImageList(game).ItemByName("MainMenuBackground"),
      game.RaceScene.ScrollSpeed);
  ShowMainMenu(game, true, MenuEntryModes::SelectStart);
  if (game.ShowFirstPictureEarly) ShowFirstPicture(game);
  // What the main menu neither shows nor plays comes last, after its first picture: the race
  // pictures (built for the display as they are added) and the sounds (converted for the
  // output). Nothing reads them before the first tick.
  game.RaceImages.Items().Assign(std::move(archives.Race));
  game.Sounds.Items().Assign(archives.Sounds);
  game.StartupComplete = true;
}

}  // namespace rivoltra
