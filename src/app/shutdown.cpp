#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/game.h"
#include "system/save_file.h"

namespace rivoltra {

void SaveGameFiles(Game& game) {
  // Both files are written out in full before either replaces its old version: the settings
  // carry the table's check string, so one new file beside one old one would reset the table
  // at the next start; the preferences go with them. When the save folder cannot be written, both
  // old files stay, the player hears of it on stderr, and the program still ends.
  // The switches win over the volumes: whatever turned one off (the options screen keeps both
  // in step) leaves that volume at 0 %.
  ReconcileVolumes(game.Preferences, game.Settings);
  Settings kept = game.Settings;
  if (game.RunFullScreen && kept.FullScreen == *game.RunFullScreen) {
    kept.FullScreen = game.StoredFullScreen;
  }
  Preferences keptPreferences = game.Preferences;
  if (game.RunWindowScale && keptPreferences.WindowScale == *game.RunWindowScale) {
    keptPreferences.WindowScale = game.StoredWindowScale;
  }
  try {
    StagedFile settings(game.Paths.SaveFile(kSettingsFileName),
                        SettingsFileText(kept, ComputeCheckString(game.HighScores)));
    StagedFile highScores(game.Paths.SaveFile(kHighScoreFileName),
                          HighScoreFileText(game.HighScores));
    StagedFile preferences(game.Paths.SaveFile(kPreferencesFileName),
                           PreferencesFileText(keptPreferences));
    settings.Commit();
    highScores.Commit();
    preferences.Commit();
  } catch (const SaveFileError& error) {
    std::fprintf(stderr, "Rivoltra: %s\n", error.what());
  }
}

void SaveAndQuit(Game& game) {
  SaveGameFiles(game);
  game.Terminated = true;
}

void RunProgramEnd(Game& game) {
  std::error_code error;
  // A failed request to open the link file is ignored.
  if (std::filesystem::exists("play.url", error)) game.Platform.OpenWithShell("play.url");
  SaveAndQuit(game);
}

}  // namespace rivoltra
