#include "app/game.h"
#include "engine/keyboard_codes.h"

namespace rivoltra {

void ApplyControls(Game& game) {
  const ControlBindings& controls = game.preferences.Controls;
  game.Input.Keyboard().Assigns = KeyAssignmentsOf(controls);
  game.Input.Joystick().Assigns = PadAssignmentsOf(controls);
  // Ctrl may have left the fire action while held.
  if (!game.FireKeyHeld) return;
  const std::optional<BindingPlace> ctrl = FindKey(controls, VirtualKey::Control);
  if (!ctrl || ctrl->action != ControlAction::Fire) game.FireKeyHeld = false;
}

void ApplyPreferences(Game& game) {
  const Preferences& preferences = game.preferences;
  ApplyControls(game);
  game.Sounds.SetMasterVolume(preferences.SoundVolume);
  if (game.modulePlayer) game.modulePlayer->SetVolume(preferences.MusicVolume);
  game.platform.Presenter().SetScaling(preferences.WindowScale, preferences.SmoothScaling);
}

}  // namespace rivoltra
