#include "app/game_archives.h"

namespace rivoltra {

GameArchives ReadGameArchives(const GamePaths& paths) {
  GameArchives archives;
  archives.Interface = ReadImageArchive(paths.DataFile("Res/Res1.gfx").string());
  archives.Race = ReadImageArchive(paths.DataFile("Res/Res3.gfx").string());
  archives.Sounds = ReadSoundArchive(paths.DataFile("Res/Sounds.sfx").string());
  return archives;
}

}  // namespace rivoltra
