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
  game.SongFile = game.Music.SongHandle != nullptr
                      ? ScreenSongFile(MusicOfScreen(game.ScreenState), game.Paths.DataFolder)
                      : "";
}

}  // namespace

void PlayScreenMusic(Game& game) {
  if (game.ModulePlayer) {
    PlayScreenMusic(*game.ModulePlayer, game.Music, game.Settings.MusicEnabled,
                    MusicOfScreen(game.ScreenState), game.Paths.DataFolder);
  } else {
    game.Music.LastSongOrder = 0;
  }
  NoteSongFile(game);
}

void StopMusic(Game& game) {
  if (game.ModulePlayer) StopMusic(*game.ModulePlayer, game.Music);
  game.SongFile.clear();
}

void KeepMusicPlaying(Game& game) {
  if (!game.ModulePlayer || game.Music.SongHandle == nullptr) return;
  const Song* before = game.Music.SongHandle;
  KeepMusicPlaying(*game.ModulePlayer, game.Music, game.Settings.MusicEnabled,
                   MusicOfScreen(game.ScreenState), game.Paths.DataFolder);
  if (game.Music.SongHandle != before) NoteSongFile(game);
}

std::int32_t SongOrder(const Game& game) {
  return game.ModulePlayer ? game.ModulePlayer->SongGetOrder(game.Music.SongHandle) : 0;
}

}  // namespace rivoltra
