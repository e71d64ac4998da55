#pragma once
// The two image lists, item by item, in the order they are written.
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// "Data/Res/Res1.gfx": menus, buttons, captions, help pages and the bitmap fonts.
std::vector<ImageItemData> InterfaceImages();
// "Data/Res/Res3.gfx": cars, track objects, explosions, road and heads-up display.
std::vector<ImageItemData> RaceImages();

}  // namespace rivoltra::pictures
