// The save files of a fresh installation: window, music and sound on, no country, the default
// high-score table with its check string, and the default preferences (full volumes, the largest
// window that fits). A player's own files are never replaced.
#include <filesystem>

#include "generator_registry.h"
#include "persist/high_scores.h"
#include "persist/preferences.h"
#include "persist/settings.h"

namespace rivoltra::datagen {

namespace {

void WriteDefaultSaveFiles(const std::filesystem::path& dataFolder) {
  const std::filesystem::path saveFolder = dataFolder / "Save";
  std::filesystem::create_directories(saveFolder);
  const HighScoreTable table = DefaultHighScoreTable();
  const std::filesystem::path highScores = saveFolder / "hs";
  const std::filesystem::path options = saveFolder / "options";
  if (!std::filesystem::exists(highScores)) SaveHighScores(table, highScores);
  if (!std::filesystem::exists(options)) {
    SaveSettings(Settings{}, ComputeCheckString(table), options);
  }
  const std::filesystem::path preferences = saveFolder / "preferences";
  if (!std::filesystem::exists(preferences)) SavePreferences(Preferences{}, preferences);
}

const RegisterGenerator kDefaults("defaults", WriteDefaultSaveFiles);

}  // namespace

}  // namespace rivoltra::datagen
