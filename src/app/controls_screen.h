#pragma once
// The controls screen's own state and its hooks into the window's key and mouse handlers.
#include <cstdint>
#include <string>

#include "engine/control_bindings.h"

namespace rivoltra {

struct Game;

struct ControlsScreenState {
  // The chosen cell of the selected row: 0 and 1 the keys, 2 and 3 the controller inputs.
  int Column = 0;
  // A cell waits for the new key or controller input; Escape cancels.
  bool Waiting = false;
  ControlAction WaitingAction = ControlAction::Accelerate;
  int WaitingColumn = 0;
  // Controller inputs already held when the waiting began (the button that chose the cell):
  // only an input pressed afresh is taken.
  PadControls HeldWhenAsked;
  // The key just taken or the Escape that cancelled: its character events are not for the
  // menus, up to its release.
  int SwallowedKey = 0;
  // What the last change did ("SPACE TAKEN FROM FIRE"), shown for a few seconds.
  std::string Message;
  int MessageTicks = 0;
  int Ticks = 0;
};

// A key pressed on the controls screen while a cell waits: taken, or Escape cancels. Returns
// whether the key was the screen's (and is not to be handled any further).
bool ControlsScreenKeyDown(Game& game, int virtualKey);
void ControlsScreenKeyUp(Game& game, int virtualKey);
// Whether typed characters are the controls screen's now and not the menus'.
bool ControlsScreenTakesCharacters(const Game& game);
// The pointer over a cell makes it the chosen one.
void ControlsScreenMouseMove(Game& game, int x, int y);
// What a key's cell shows: the key's name, or a shorter form of the names wider than a cell
// (the messages and the preferences file keep the whole name).
std::string KeyCellLabel(std::uint8_t key);

}  // namespace rivoltra
