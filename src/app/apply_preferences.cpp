#include "app/game.h"

namespace rivoltra {

void ApplyPreferences(Game& game) {
  const Preferences& preferences = game.preferences;
  game.Input.Keyboard().Assigns = KeyAssignmentsOf(preferences.Controls);
}

}  // namespace rivoltra
