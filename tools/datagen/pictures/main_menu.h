#pragma once
// The main menu: the backdrop behind every menu screen, the two panels that slide in, the
// captions of the seven buttons and the buttons themselves.
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// "MainMenuBackground", "UpPanel", "DownPanel", the eight captions, "MainMenuButtons_Inactive",
// "MainMenuButtons_Active", "MainMenu_ExitInactive", "MainMenu_ExitActive".
std::vector<ImageItemData> MainMenuItems();

}  // namespace rivoltra::pictures
