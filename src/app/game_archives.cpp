#include "app/game_archives.h"

#include "system/file_names.h"

namespace rivoltra {

GameArchives ReadGameArchives(const GamePaths& paths) {
  GameArchives archives;
  archives.Interface = ReadImageArchive(Utf8FromPath(paths.DataFile("Res/Res1.gfx")));
  archives.Race = ReadImageArchive(Utf8FromPath(paths.DataFile("Res/Res3.gfx")));
  archives.Sounds = ReadSoundArchive(Utf8FromPath(paths.DataFile("Res/Sounds.sfx")));
  return archives;
}

}  // namespace rivoltra
