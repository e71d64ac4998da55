#include "app/game.h"
#include "engine/keyboard_codes.h"

namespace rivoltra {

void ApplyControls(Game& game) {
  const ControlBindings& controls = game.Preferences.Controls;
  game.Input.Keyboard().Assigns = KeyAssignmentsOf(controls);
  game.Input.Joystick().Assigns = PadAssignmentsOf(controls);
  // Ctrl may have left the fire action while held.
  if (!game.FireKeyHeld) return;
  const std::optional<BindingPlace> ctrl = FindKey(controls, virtual_key::kControl);
  if (!ctrl || ctrl->Action != ControlAction::Fire) game.FireKeyHeld = false;
}

void ApplyPreferences(Game& game) {
  const Preferences& preferences = game.Preferences;
  ApplyControls(game);
  game.Sounds.SetMasterVolume(preferences.SoundVolume);
  if (game.ModulePlayer) game.ModulePlayer->SetVolume(preferences.MusicVolume);
  game.Platform.Presenter().SetScaling(preferences.WindowScale, preferences.SmoothScaling);
}

}  // namespace rivoltra
