#pragma once

#include "race/core/road.h"
#include "ui/screen_layout.h"

namespace rivoltra {

// The rules keep their own copy of the road's measures; the screen layout must agree with it.
static_assert(kLaneEdge == layout::kLaneEdge);
static_assert(kCarMinX == layout::kPlayerCarMinX && kCarBottom == layout::kPlayerCarBottom);
static_assert(kLeftSideX == layout::kLeftSignX && kRightSideX == layout::kRightSignX);
static_assert(kRoadScreenHeight == layout::kScreenHeight);
static_assert(kExplosionStartX == layout::kExplosionStartX &&
              kExplosionStartY == layout::kExplosionStartY);

// The race background's offset to the right of the left panel.
inline constexpr double kGroundX = layout::kGroundX;

}  // namespace rivoltra
