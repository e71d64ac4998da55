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
void OptionsCharacterTyped(Game& game, char key) {
  MenuState& menu = game.Menu;
  if (key == kEnter) OnPointerClick(game);
  if (key == kEscape) {
    menu.Buttons.SelectedButton = kOptionsSlot;
    OnPointerClick(game);
    return;
  }
  // Judged after the Enter above, which may have closed the options.
  if (game.ScreenState == GameScreen::Options &&
      menu.Buttons.SelectedButton == kFirstScreenSlot + 3 && menu.EditingCountry) {
    TypeIntoCountry(game, key);
  }
}

// Every other menu screen: Escape selects the sub-screen's own main-menu button so that the
// activation closes it; every character activates the selected button, except Escape on the
// main menu, which does nothing.
void MenuCharacterTyped(Game& game, char key) {
  int& selected = game.Menu.Buttons.SelectedButton;
  if (key == kEscape) {
    switch (game.ScreenState) {
      case GameScreen::HighScores:
        selected = kHighScoresSlot;
        break;
      case GameScreen::Help:
        selected = kHelpSlot;
        break;
      case GameScreen::CarChoice:
        selected = kStartSlot;
        break;
      case GameScreen::DailyRun:
        selected = kDailyRunSlot;
        break;
      case GameScreen::Controls:
      case GameScreen::MoreSettings:
        selected = kOptionsSlot;
        break;
      case GameScreen::MainMenu:
        return;
      default:
        break;
    }
  }
  OnPointerClick(game);
}

// Ctrl fires through the window's key events rather than the key table, as long as the player
// keeps it on the fire action.
bool ControlFires(const Game& game) {
  const std::optional<BindingPlace> place =
      FindKey(game.Preferences.Controls, virtual_key::kControl);
  return place && place->Action == ControlAction::Fire;
}

}  // namespace

void OnKeyDown(Game& game, int virtualKey, ShiftState shift) {
  if (ControlsScreenKeyDown(game, virtualKey)) return;
  if (virtualKey == virtual_key::kControl && ControlFires(game)) game.FireKeyHeld = true;
  if (virtualKey == virtual_key::kEnter && shift.Alt) {
    game.Settings.FullScreen = game.Settings.FullScreen == 1 ? 0 : 1;
    ApplyDisplayMode(game);
  }
}

void OnKeyUp(Game& game, int virtualKey, ShiftState /*shift*/) {
  ControlsScreenKeyUp(game, virtualKey);
  if (virtualKey == virtual_key::kControl) game.FireKeyHeld = false;
}

void OnCharacterTyped(Game& game, char key) {
  if (PlaybackCharacterTyped(game, key)) return;
  if (ControlsScreenTakesCharacters(game)) return;
  // Each step looks at the screen as the step before has left it: Enter that closes the options
  // reaches the main menu's step too and opens the selected button there.
  if (game.ScreenState == GameScreen::Options) {
    OptionsCharacterTyped(game, key);
    if (key == kEscape) return;
    // A line that opened one of the options' own screens has used the key up.
    if (game.ScreenState == GameScreen::Controls || game.ScreenState == GameScreen::MoreSettings)
      return;
  }
  if (game.ScreenState != GameScreen::Race && game.ScreenState != GameScreen::RaceLoading &&
      game.ScreenState != GameScreen::Options) {
    MenuCharacterTyped(game, key);
  }
  if (game.ScreenState == GameScreen::NameEntry) {
    if (key == kEnter) {
      FinishNameEntry(game);
      ShowSendResults(game);
    } else {
      TypeIntoName(game, key);
    }
  }
}

void OnPointerMove(Game& game, int x, int y) {
  game.MouseX = x;
  game.MouseY = y;
  HitTestButtons(game.Menu.Buttons, x, y);
  ControlsScreenMouseMove(game, x, y);
}

void OnPointerClick(Game& game) {
  if (game.Menu.Buttons.SelectedButton != 0) PlayButtonPress(game);
  switch (game.ScreenState) {
    case GameScreen::MainMenu:
      MainMenuActivate(game);
      break;
    case GameScreen::Options:
      OptionsActivate(game);
      break;
    case GameScreen::Controls:
      ControlsActivate(game);
      break;
    case GameScreen::MoreSettings:
      MoreSettingsActivate(game);
      break;
    case GameScreen::HighScores:
      HighScoresActivate(game);
      break;
    case GameScreen::Help:
      HelpActivate(game);
      break;
    case GameScreen::CarChoice:
      CarChoiceActivate(game);
      break;
    case GameScreen::DailyRun:
      DailyRunActivate(game);
      break;
    case GameScreen::SendResults:
      SendResultsActivate(game);
      break;
    default:
      break;
  }
}

}  // namespace rivoltra
