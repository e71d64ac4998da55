// The controls screen: every action with its two keys and two controller inputs. Choosing a
// cell and pressing a key or a controller input binds it there; an input another place holds
// moves here and that place takes the cell's old one, so nothing is ever bound twice.
#include "app/controls_screen.h"

#include <algorithm>
#include <utility>

#include "app/game.h"
#include "app/option_rows.h"
#include "app/screens.h"
#include "engine/keyboard_codes.h"
#include "ui/caption_sprite.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {

constexpr int kFirstRow = kFirstScreenSlot;
constexpr int kLastRow = kFirstRow + kControlActionCount - 1;
constexpr int kDefaultsButton = kLastRow + 1;
constexpr int kOptionsMainButton = kOptionsSlot;
constexpr int kMainMenuButtons = kMainMenuSlots;
// The options' line that leads here, selected again on the way back.
constexpr int kOptionsControlsLine = kFirstScreenSlot + 4;
constexpr int kColumns = 4;
constexpr int kFirstPadColumn = 2;
// About four seconds of a message; a cell waiting this long for an input gives up.
constexpr int kMessageTicks = 130;
constexpr int kWaitTicks = 330;
constexpr int kBlinkTicks = 16;

bool IsRow(int slot) { return slot >= kFirstRow && slot <= kLastRow; }

ControlAction ActionOfRow(int slot) {
  return kControlActions[static_cast<std::size_t>(slot - kFirstRow)];
}

int RowY(int row) { return layout::kControlFirstRowY + row * layout::kControlRowPitch; }

void Tell(Game& game, std::string message) {
  game.ControlsScreen.Message = std::move(message);
  game.ControlsScreen.MessageTicks = kMessageTicks;
}

void SetMainButtonsVisible(Game& game, bool visible) {
  for (int slot = 1; slot <= kMainMenuButtons; ++slot) {
    if (MenuButton* button = game.Menu.Buttons.Slot(slot)) button->Visible = visible;
  }
}

// A held key or direction that has just been bound must be let go before it moves the
// selection.
void Disarm(Game& game) {
  game.Menu.NavigationArmed = false;
  game.Menu.AdjustArmed = false;
}

void StopWaiting(Game& game) {
  game.ControlsScreen.Waiting = false;
  Disarm(game);
}

// What a binding moved: the input came from another place, which took the cell's old input.
void TellSwap(Game& game, const std::string& inputName, const std::optional<BindingPlace>& from,
              ControlAction to) {
  if (!from) {
    Tell(game, inputName + " IS NOW " + std::string(ControlActionName(to)));
  } else if (from->Action == to) {
    Tell(game, inputName + " MOVED WITHIN " + std::string(ControlActionName(to)));
  } else {
    Tell(game, inputName + " TAKEN FROM " + std::string(ControlActionName(from->Action)));
  }
}

void BindKey(Game& game, std::uint8_t key) {
  ControlsScreenState& screen = game.ControlsScreen;
  const std::optional<BindingPlace> from =
      AssignKey(game.Preferences.Controls, screen.WaitingAction, screen.WaitingColumn, key);
  ApplyControls(game);
  TellSwap(game, KeyName(key), from, screen.WaitingAction);
  StopWaiting(game);
}

void BindPad(Game& game, PadControl control) {
  ControlsScreenState& screen = game.ControlsScreen;
  const std::optional<BindingPlace> from =
      AssignPad(game.Preferences.Controls, screen.WaitingAction,
                screen.WaitingColumn - kFirstPadColumn, control);
  ApplyControls(game);
  TellSwap(game, PadControlName(control), from, screen.WaitingAction);
  StopWaiting(game);
}

// The first controller input pressed since the cell began to wait.
void TakeFreshPadInput(Game& game) {
  ControlsScreenState& screen = game.ControlsScreen;
  const PadControls& held = game.Input.Joystick().Controls();
  for (int control = 1; control < 256; ++control) {
    if (!IsPadControl(control)) continue;
    if (!held.Contains(control)) {
      screen.HeldWhenAsked.Remove(control);
    } else if (!screen.HeldWhenAsked.Contains(control)) {
      BindPad(game, static_cast<PadControl>(control));
      return;
    }
  }
}

void StartWaiting(Game& game, int row) {
  ControlsScreenState& screen = game.ControlsScreen;
  screen.Waiting = true;
  screen.WaitingAction = ActionOfRow(row);
  screen.WaitingColumn = screen.Column;
  screen.HeldWhenAsked = game.Input.Joystick().Controls();
  screen.Ticks = 0;
  Tell(game, screen.Column < kFirstPadColumn ? "PRESS A KEY  ESCAPE CANCELS"
                                             : "PRESS A BUTTON  ESCAPE CANCELS");
}

std::string CellText(const Game& game, ControlAction action, int column) {
  const ActionBinding& binding = game.Preferences.Controls.Of(action);
  if (column < kFirstPadColumn) {
    const std::uint8_t key = binding.Keys[static_cast<std::size_t>(column)];
    return key == 0 ? "" : KeyCellLabel(key);
  }
  const PadControl control = binding.Pad[static_cast<std::size_t>(column - kFirstPadColumn)];
  return control == PadControl::None ? "" : PadControlName(control);
}

void DrawRow(Game& game, int row) {
  using namespace layout;
  const ControlsScreenState& screen = game.ControlsScreen;
  const int slot = kFirstRow + row;
  const ControlAction action = ActionOfRow(slot);
  const bool selectedRow = game.Menu.Buttons.SelectedButton == slot;
  const int y = RowY(row);
  const int textY = y + kControlTextDy;
  selectedRow ? game.Text.SelectMediumActiveFont() : game.Text.SelectMediumFont();
  WriteText(game, ControlActionName(action), kControlLabelX, textY);
  for (int column = 0; column < kColumns; ++column) {
    const int x = kControlCellX[static_cast<std::size_t>(column)];
    const bool chosen = selectedRow && column == screen.Column;
    const bool waiting = chosen && screen.Waiting;
    if (chosen) {
      game.InterfaceImages.Items()
          .ItemByName("ControlCell")
          .Draw(game.Screen.BackBuffer(), x, y + 1, waiting ? 1 : 0);
    }
    if (waiting) {
      // The cell blinks its request while it waits.
      if ((screen.Ticks / kBlinkTicks) % 2 == 0) {
        game.Text.SelectMediumActiveFont();
        WriteText(game, "PRESS", x + kControlTextInset, textY);
      }
      continue;
    }
    chosen ? game.Text.SelectMediumActiveFont() : game.Text.SelectMediumFont();
    WriteText(game, CellText(game, action, column), x + kControlTextInset, textY);
  }
}

void DrawControls(Game& game) {
  for (int row = 0; row < kControlActionCount; ++row) DrawRow(game, row);
  const ControlsScreenState& screen = game.ControlsScreen;
  if (screen.MessageTicks > 0 || screen.Waiting) {
    game.Text.SelectSmallFont();
    WriteText(game, screen.Message, layout::kControlMessageX, layout::kControlMessageY);
  }
}

bool StaysOnControls(int selected) {
  return selected == 0 || selected == kOptionsMainButton ||
         (selected >= kFirstRow && selected <= kDefaultsButton);
}

void BackToOptions(Game& game) {
  HideControls(game);
  ShowOptions(game, kOptionsControlsLine);
}

}  // namespace

void ShowControls(Game& game) {
  using namespace layout;
  MenuState& menu = game.Menu;
  BeginSubScreen(game, GameScreen::Controls,
                 {kDefaultsButton, kFirstRow, kFirstRow, kDefaultsButton});
  // The dialog covers the main menu's buttons, which may not be pointed at meanwhile.
  SetMainButtonsVisible(game, false);
  for (int row = 0; row < kControlActionCount; ++row) {
    PlaceButton(game, kFirstRow + row, "ControlRow_Active", "ControlRow_Inactive", 0, 0,
                kControlRowX, RowY(row));
  }
  PlaceButton(game, kDefaultsButton, "ControlDefaults", "ControlDefaults", 1, 0, kControlDefaultsX,
              kControlDefaultsY);
  FreeSprite(menu.ScreenBackdrop);
  menu.ScreenBackdrop = NewCaption(game, "ControlsBackground");
  menu.ScreenBackdrop->X = kControlsX;
  menu.ScreenBackdrop->Y = kControlsY;
  menu.ScreenBackdrop->SetZ(2);
  game.ControlsScreen = ControlsScreenState{};
}

void HideControls(Game& game) {
  MenuState& menu = game.Menu;
  for (int slot = kFirstRow; slot <= kDefaultsButton; ++slot) FreeButtonSlot(menu.Buttons, slot);
  FreeSprite(menu.ScreenBackdrop);
  SetMainButtonsVisible(game, true);
  game.ControlsScreen.Waiting = false;
  DisableTimer(game);
}

void ControlsTick(Game& game, std::int32_t lagCount) {
  ControlsScreenState& screen = game.ControlsScreen;
  ++screen.Ticks;
  if (screen.MessageTicks > 0) --screen.MessageTicks;
  UpdateButtonHighlight(game);
  if (screen.Waiting) {
    if (screen.WaitingColumn >= kFirstPadColumn) TakeFreshPadInput(game);
    if (screen.Waiting && screen.Ticks > kWaitTicks) {
      StopWaiting(game);
      Tell(game, "NOTHING CHANGED");
    }
  } else {
    NavigateVertical(game, true);
    if (const int step = HorizontalStep(game); step != 0) {
      screen.Column = std::clamp(screen.Column + step, 0, kColumns - 1);
    }
  }
  if (!StaysOnControls(game.Menu.Buttons.SelectedButton)) {
    HideControls(game);
    ShowMainMenu(game, false, MenuEntryModes::SelectStart);
    DrawFrame(game, lagCount, true);
    FlipFrame(game);
    return;
  }
  DrawFrame(game, lagCount, true);
  DrawControls(game);
  FlipFrame(game);
}

void ControlsActivate(Game& game) {
  ControlsScreenState& screen = game.ControlsScreen;
  const int selected = game.Menu.Buttons.SelectedButton;
  if (screen.Waiting) {
    // A click while a cell waits changes nothing.
    StopWaiting(game);
    Tell(game, "NOTHING CHANGED");
    return;
  }
  if (IsRow(selected)) {
    StartWaiting(game, selected);
  } else if (selected == kDefaultsButton) {
    game.Preferences.Controls = DefaultControlBindings();
    ApplyControls(game);
    Tell(game, "FACTORY CONTROLS RESTORED");
  } else if (selected == kOptionsMainButton) {
    BackToOptions(game);
  }
}

std::string KeyCellLabel(std::uint8_t key) {
  namespace K = virtual_key;
  // Keyboard legends' usual short forms; the fonts have no brackets, commas or quotes.
  static constexpr std::pair<std::uint8_t, const char*> kShortForms[] = {
      {K::kSemicolon, "SEMICOL"},     {K::kBackslash, "BKSLASH"},   {K::kLeftBracket, "LBRACKET"},
      {K::kRightBracket, "RBRACKET"}, {K::kApostrophe, "QUOTE"},    {K::kBackspace, "BKSPACE"},
      {K::kPageDown, "PG DOWN"},      {K::kScrollLock, "SCR LOCK"}, {K::kMultiply, "KP STAR"},
      {K::kAdd, "KP PLUS"},           {K::kSubtract, "KP MINUS"},   {K::kDecimal, "KP POINT"},
      {K::kDivide, "KP SLASH"},
  };
  for (const auto& [code, label] : kShortForms) {
    if (code == key) return label;
  }
  return KeyName(key);
}

bool ControlsScreenKeyDown(Game& game, int virtualKey) {
  ControlsScreenState& screen = game.ControlsScreen;
  if (game.ScreenState != GameScreen::Controls || !screen.Waiting) return false;
  screen.SwallowedKey = virtualKey;
  if (virtualKey == virtual_key::kEscape) {
    StopWaiting(game);
    Tell(game, "NOTHING CHANGED");
  } else if (screen.WaitingColumn < kFirstPadColumn && virtualKey > 0 && virtualKey < 256) {
    BindKey(game, static_cast<std::uint8_t>(virtualKey));
  }
  return true;
}

void ControlsScreenKeyUp(Game& game, int virtualKey) {
  if (virtualKey == game.ControlsScreen.SwallowedKey) game.ControlsScreen.SwallowedKey = 0;
}

bool ControlsScreenTakesCharacters(const Game& game) {
  return game.ScreenState == GameScreen::Controls &&
         (game.ControlsScreen.Waiting || game.ControlsScreen.SwallowedKey != 0);
}

void ControlsScreenMouseMove(Game& game, int x, int y) {
  using namespace layout;
  ControlsScreenState& screen = game.ControlsScreen;
  if (game.ScreenState != GameScreen::Controls || screen.Waiting) return;
  if (y < kControlFirstRowY || y >= RowY(kControlActionCount)) return;
  for (int column = 0; column < kColumns; ++column) {
    const int left = kControlCellX[static_cast<std::size_t>(column)];
    if (x >= left && x < left + kControlCellWidth) screen.Column = column;
  }
}

}  // namespace rivoltra
