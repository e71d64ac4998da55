#pragma once
// Explosions: the gun's spark, the small blast of a shot object and the big one of a crash.
// Each runs from a white flash through a fireball to drifting smoke.
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// "ExplosionMicro", "ExplosionSmall", "ExplosionBig".
std::vector<ImageItemData> ExplosionItems();

}  // namespace rivoltra::pictures
