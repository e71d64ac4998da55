#pragma once

#include <cstdint>

#include "app/input_event.h"

namespace rivoltra {

struct Game;

// The window's three input paths: key-down/up (virtual-key codes), character events, and the
// mouse over the display surface (in surface pixels). They run between ticks.
void FormKeyDown(Game& game, int virtualKey, ShiftState shift);
void FormKeyUp(Game& game, int virtualKey, ShiftState shift);
void FormKeyPress(Game& game, char key);
void MDisplayMouseMove(Game& game, int x, int y);
void MDisplayClick(Game& game);

}  // namespace rivoltra
