#pragma once

#include <cstdint>

#include "engine/input_event.h"

namespace rivoltra {

struct Game;

// The window's three input paths: key-down/up (virtual-key codes), character events, and the
// mouse over the display surface (in surface pixels). They run between ticks.
void OnKeyDown(Game& game, int virtualKey, ShiftState shift);
void OnKeyUp(Game& game, int virtualKey, ShiftState shift);
void OnCharacterTyped(Game& game, char key);
void OnPointerMove(Game& game, int x, int y);
void OnPointerClick(Game& game);

}  // namespace rivoltra
