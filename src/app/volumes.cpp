// The volumes the options screen sets, and the switches of the options file they drive.
#include "app/game.h"

namespace rivoltra {

void SetMusicVolume(Game& game, int percent) {
  const bool wasOn = game.Settings.MusicEnabled != 0;
  game.Preferences.MusicVolume = percent;
  SwitchesFromVolumes(game.Preferences, game.Settings);
  if (game.ModulePlayer) game.ModulePlayer->SetVolume(percent);
  const bool on = game.Settings.MusicEnabled != 0;
  if (wasOn && !on) StopMusic(game);
  if (!wasOn && on) PlayScreenMusic(game);
}

void SetSoundVolume(Game& game, int percent) {
  game.Preferences.SoundVolume = percent;
  SwitchesFromVolumes(game.Preferences, game.Settings);
  game.Sounds.SetMasterVolume(percent);
}

}  // namespace rivoltra
