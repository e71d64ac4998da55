// The game's music calls, on the module player of the machine's sound output.
#include "app/game.h"

namespace rivoltra {

ScreenMusic MusicOfScreen(GameScreen screen) {
  return screen == GameScreen::Race || screen == GameScreen::RaceLoading ? ScreenMusic::Race
                                                                         : ScreenMusic::Menu;
}

namespace {

// Remembers which file the loaded song came from, for anyone who asks what is playing.
void NoteSongFile(Game& game) {
  game.SongFile = game.music.SongHandle != nullptr
                      ? ScreenSongFile(MusicOfScreen(game.ScreenState), game.paths.DataFolder)
                      : "";
}

}  // namespace

void PlayScreenMusic(Game& game) {
  if (game.modulePlayer) {
    PlayScreenMusic(*game.modulePlayer, game.music, game.settings.MusicEnabled,
                    MusicOfScreen(game.ScreenState), game.paths.DataFolder);
  } else {
    game.music.LastSongOrder = 0;
  }
  NoteSongFile(game);
}

void StopMusic(Game& game) {
  if (game.modulePlayer) StopMusic(*game.modulePlayer, game.music);
  game.SongFile.clear();
}

void KeepMusicPlaying(Game& game) {
  if (!game.modulePlayer || game.music.SongHandle == nullptr) return;
  const Song* before = game.music.SongHandle;
  KeepMusicPlaying(*game.modulePlayer, game.music, game.settings.MusicEnabled,
                   MusicOfScreen(game.ScreenState), game.paths.DataFolder);
  if (game.music.SongHandle != before) NoteSongFile(game);
}

std::int32_t SongOrder(const Game& game) {
  return game.modulePlayer ? game.modulePlayer->SongGetOrder(game.music.SongHandle) : 0;
}

}  // namespace rivoltra
