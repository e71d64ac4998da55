#pragma once
// The race's heads-up display: the two metal side panels with their windows for the numbers,
// the progress track and the speedometer, the needle, the bonus indicators and the two
// picture banners.
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// "LeftPanel", "RightPanel", "Pointer", "None", "Drifting", "GunSmall", "TurboSmall",
// "TimeIsOverNB", "GameOverNB".
std::vector<ImageItemData> HudItems();

// Screen angle, in radians clockwise from "right", of the needle at a speed in px per tick.
double NeedleScreenAngle(double speed);

}  // namespace rivoltra::pictures
