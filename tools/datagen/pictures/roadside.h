#pragma once
// The road itself and what stands beside it: the endless ground picture, the signs and side
// walls between the panels and the road, and the finish line.
#include <vector>

#include "engine/image_archive.h"
#include "pictures/art.h"

namespace rivoltra::pictures {

enum class Sign { LeftBlue, LeftRed, RightBlue, RightRed };

Bitmap SignBitmap(Sign sign);
// The race background: ground strip under lane 1, the three-lane road, kerbs and verges.
Bitmap GroundBitmap();

// "GroundLeft", "SignLeftBlue", "SignLeftRed", "SignRightBlue", "SignRightRed", "WallLeft",
// "WallRight", "FinishLine".
std::vector<ImageItemData> RoadsideItems();

}  // namespace rivoltra::pictures
