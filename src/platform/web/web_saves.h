#pragma once

#include <string>

namespace rivoltra {

struct Game;

// The browser keeps the save folder in IndexedDB (the page mounts it before the game starts);
// a page has no moment of quitting, so the settings and the high-score table are written as
// soon as they change and the folder is then copied to the browser's storage. Files other
// parts of the game write there (replays) go along with every copy and with the page's
// periodic one.
class WebSaves {
 public:
  // What the save folder holds now, so an unchanged game writes nothing.
  void Remember(const Game& game);
  // Writes the save files and persists the folder when settings or scores differ from the
  // last save.
  void SaveWhenChanged(Game& game);
  // Copies the save folder to the browser's storage.
  void Persist();

 private:
  static std::string Fingerprint(const Game& game);

  std::string saved_;
};

}  // namespace rivoltra
