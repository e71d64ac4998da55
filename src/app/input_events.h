#pragma once

#include <cstdint>

namespace rivoltra {

struct Game;

// Shift state of a key event.
struct ShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
};

// The window's three input paths: key-down/up (virtual-key codes), character events, and the
// mouse over the display surface (in surface pixels). They run between ticks.
void FormKeyDown(Game& game, int virtualKey, ShiftState shift);
void FormKeyUp(Game& game, int virtualKey, ShiftState shift);
void FormKeyPress(Game& game, char key);
void MDisplayMouseMove(Game& game, int x, int y);
void MDisplayClick(Game& game);

}  // namespace rivoltra
