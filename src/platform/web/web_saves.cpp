#include "platform/web/web_saves.h"

#include <emscripten.h>

#include "app/game.h"
#include "persist/high_scores.h"
#include "persist/preferences.h"
#include "persist/settings.h"

namespace rivoltra {

std::string WebSaves::Fingerprint(const Game& game) {
  return SettingsFileText(game.settings, ComputeCheckString(game.highScores)) +
         HighScoreFileText(game.highScores) + PreferencesFileText(game.preferences);
}

void WebSaves::Remember(const Game& game) { saved_ = Fingerprint(game); }

void WebSaves::SaveWhenChanged(Game& game) {
  std::string now = Fingerprint(game);
  if (now == saved_) return;
  SaveGameFiles(game);
  saved_ = std::move(now);
  Persist();
}

void WebSaves::Persist() {
  EM_ASM({
    if (Module['rivoltraPersistSaves']) Module['rivoltraPersistSaves']();
  });
}

}  // namespace rivoltra
