#pragma once

#include <cstdint>

namespace rivoltra {

struct Game;

// The side panels, the progress marker and the needle picture.
void CreateHudSprites(Game& game);
// The four bonus-panel indicators, hidden.
void CreateBonusIndicators(Game& game);
void FreeHudSprites(Game& game);

// Steps the needle's shake: once for every frame the race composes.
void StepNeedle(Game& game);
// Draws the needle turned by the speed.
void DrawNeedle(Game& game);
// Needle, level, score, clock, lives and the bonus panel, over the sprites.
void DrawHud(Game& game);

// Numbers are right-aligned by digit count rather than by measuring.
int HudNumberX(std::int32_t value);

}  // namespace rivoltra
