#pragma once
// What the settings screens' lines share: the words of a choice with the chosen one lit, a
// volume's bar, and Left/Right as single steps.
#include <cstdint>
#include <string_view>
#include <vector>

namespace rivoltra {

struct Game;

// One line of two choices: the word of the current state in the highlighted font, the rest in
// the normal one.
void DrawChoice(Game& game, int y, std::string_view first, int firstX, int slashX,
                std::string_view second, int secondX, bool firstChosen);
// Any number of choices from x on, " / " between them, the chosen one lit.
void DrawChoices(Game& game, int x, int y, const std::vector<std::string_view>& words,
                 std::size_t chosen);
// A volume at the options' choice column: the percentage, or OFF, then ten steps lit by tens.
void DrawVolume(Game& game, int y, int percent);
// The volume a click at x on the bar of a line asks for, or -1 when x is off the bar.
int VolumeAtX(int x);

// Left (-1) or Right (+1) taken as one step: holding a direction steps once, and it must be
// released before the next step. 0 when there is no step this tick.
int HorizontalStep(Game& game);

}  // namespace rivoltra
