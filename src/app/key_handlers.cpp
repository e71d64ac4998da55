#include "app/game.h"
#include "app/input_events.h"
#include "app/replay_playback.h"
#include "app/screens.h"
#include "engine/keyboard_codes.h"

namespace rivoltra {

namespace {
constexpr char kEnter = 13;
constexpr char kEscape = 27;

// Options only: Enter activates, Escape goes back, and while the country line is selected and
// being edited the other keys type into it.
void OptionsKeyPress(Game& game, char key) {
  MenuState& menu = game.menu;
  if (key == kEnter) MDisplayClick(game);
  if (key == kEscape) {
    menu.buttons.SelectedButton = 2;
    MDisplayClick(game);
    return;
  }
  // Judged after the Enter above, which may have closed the options.
  if (game.ScreenState == ssOptions && menu.buttons.SelectedButton == 10 && menu.EditingCountry) {
    TypeIntoCountry(game, key);
  }
}

// Every other menu screen: Escape selects the sub-screen's own main-menu button so that the
// activation closes it; every character activates the selected button, except Escape on the
// main menu, which does nothing.
void MenuKeyPress(Game& game, char key) {
  int& selected = game.menu.buttons.SelectedButton;
  if (key == kEscape) {
    switch (game.ScreenState) {
      case ssHighScores:
        selected = 3;
        break;
      case ssHelp:
        selected = 4;
        break;
      case ssCarChoice:
        selected = 1;
        break;
      case ssControls:
      case ssMoreSettings:
        selected = 2;
        break;
      case ssMainMenu:
        return;
      default:
        break;
    }
  }
  MDisplayClick(game);
}

// Ctrl fires through the window's key events rather than the key table, as long as the player
// keeps it on the fire action.
bool ControlFires(const Game& game) {
  const std::optional<BindingPlace> place = FindKey(game.preferences.Controls, VirtualKey::Control);
  return place && place->action == ControlAction::Fire;
}

}  // namespace

void FormKeyDown(Game& game, int virtualKey, ShiftState shift) {
  if (ControlsScreenKeyDown(game, virtualKey)) return;
  if (virtualKey == VirtualKey::Control && ControlFires(game)) game.FireKeyHeld = true;
  if (virtualKey == VirtualKey::Enter && shift.Alt) {
    game.settings.FullScreen = game.settings.FullScreen == 1 ? 0 : 1;
    ApplyDisplayMode(game);
  }
}

void FormKeyUp(Game& game, int virtualKey, ShiftState /*shift*/) {
  ControlsScreenKeyUp(game, virtualKey);
  if (virtualKey == VirtualKey::Control) game.FireKeyHeld = false;
}

void FormKeyPress(Game& game, char key) {
  if (PlaybackKeyPress(game, key)) return;
  if (ControlsScreenTakesCharacters(game)) return;
  // Each step looks at the screen as the step before has left it: Enter that closes the options
  // reaches the main menu's step too and opens the selected button there.
  if (game.ScreenState == ssOptions) {
    OptionsKeyPress(game, key);
    if (key == kEscape) return;
    // A line that opened one of the options' own screens has used the key up.
    if (game.ScreenState == ssControls || game.ScreenState == ssMoreSettings) return;
  }
  if (game.ScreenState != ssRace && game.ScreenState != ssRaceLoading &&
      game.ScreenState != ssOptions) {
    MenuKeyPress(game, key);
  }
  if (game.ScreenState == ssNameEntry) {
    if (key == kEnter) {
      FinishNameEntry(game);
      ShowSendResults(game);
    } else {
      TypeIntoName(game, key);
    }
  }
}

void MDisplayMouseMove(Game& game, int x, int y) {
  game.MouseX = x;
  game.MouseY = y;
  HitTestButtons(game.menu.buttons, x, y);
  ControlsScreenMouseMove(game, x, y);
}

void MDisplayClick(Game& game) {
  if (game.menu.buttons.SelectedButton != 0) PlayButtonPress(game);
  switch (game.ScreenState) {
    case ssMainMenu:
      MainMenuActivate(game);
      break;
    case ssOptions:
      OptionsActivate(game);
      break;
    case ssControls:
      ControlsActivate(game);
      break;
    case ssMoreSettings:
      MoreSettingsActivate(game);
      break;
    case ssHighScores:
      HighScoresActivate(game);
      break;
    case ssHelp:
      HelpActivate(game);
      break;
    case ssCarChoice:
      CarChoiceActivate(game);
      break;
    case ssSendResults:
      SendResultsActivate(game);
      break;
    default:
      break;
  }
}

}  // namespace rivoltra
