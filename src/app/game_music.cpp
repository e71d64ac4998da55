// The game's music calls, on the module player of the machine's sound output.
#include "app/game.h"

namespace rivoltra {

void PlayScreenMusic(Game& game) {
  if (game.modulePlayer) {
    PlayScreenMusic(*game.modulePlayer, game.music, game.settings.MusicEnabled, game.ScreenState);
  } else {
    game.music.LastSongOrder = 0;
  }
}

void StopMusic(Game& game) {
  if (game.modulePlayer) StopMusic(*game.modulePlayer, game.music);
}

void KeepMusicPlaying(Game& game) {
  if (game.modulePlayer) {
    KeepMusicPlaying(*game.modulePlayer, game.music, game.settings.MusicEnabled, game.ScreenState);
  }
}

}  // namespace rivoltra
