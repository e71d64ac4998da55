#pragma once
// The game's three archives (interface pictures, race pictures, sounds) as read from the data
// folder, before any display or sound output is involved, so they can be read on a worker thread
// while the window system sets up.
#include <vector>

#include "audio/sound_archive.h"
#include "engine/image_archive.h"
#include "persist/game_paths.h"

namespace rivoltra {

struct GameArchives {
  std::vector<ImageItemData> Interface;  // Res1
  std::vector<ImageItemData> Race;       // Res3
  std::vector<SoundItemData> Sounds;
};

// Reads the three in that order; throws the first archive's error.
GameArchives ReadGameArchives(const GamePaths& paths);

}  // namespace rivoltra
