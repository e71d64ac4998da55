#pragma once
// The sub-screens of the main menu and the two screens after a race: their panels, buttons,
// the car-choice buttons, the name entry and the send-results question.
#include <vector>

#include "engine/image_archive.h"
#include "pictures/art.h"

namespace rivoltra::pictures {

// "OptionsBackground", "OptionButton_Inactive", "OptionButton_Active", "Cursor",
// "HighScoresBackground", "ClearHighScores", "ViewHighScores", "StartGameBackground",
// "DailyRunBackground", "DailyStartButton",
// "Car1".."Car4", "Car1_Active".."Car4_Active", "EnterYourName", "SendResults", "OkButton2",
// "CancelButton2".
std::vector<ImageItemData> MenuScreenItems();

// The bar of an option line, dark inside for the game's words, in its normal or highlighted
// look.
Bitmap OptionBar(int width, int height, bool highlighted);

}  // namespace rivoltra::pictures
