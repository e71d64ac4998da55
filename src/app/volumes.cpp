// The volumes the options screen sets, and the switches of the options file they drive.
#include "app/game.h"

namespace rivoltra {

void SetMusicVolume(Game& game, int percent) {
  const bool wasOn = game.settings.MusicEnabled != 0;
  game.preferences.MusicVolume = percent;
  SwitchesFromVolumes(game.preferences, game.settings);
  if (game.modulePlayer) game.modulePlayer->SetVolume(percent);
  const bool on = game.settings.MusicEnabled != 0;
  if (wasOn && !on) StopMusic(game);
  if (!wasOn && on) PlayScreenMusic(game);
}

void SetSoundVolume(Game& game, int percent) {
  game.preferences.SoundVolume = percent;
  SwitchesFromVolumes(game.preferences, game.settings);
  game.Sounds.SetMasterVolume(percent);
}

}  // namespace rivoltra
