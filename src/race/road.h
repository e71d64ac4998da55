#pragma once

#include <array>
#include <cstdint>

#include "ui/screen_layout.h"

namespace rivoltra {

// The road's lanes in screen pixels: lane L (1..4) spans LaneEdge[L-1] (inclusive) to
// LaneEdge[L]. Lane 1 is the off-road strip on the left; lanes 2..4 are tarmac.
inline constexpr const std::array<int, 5>& LaneEdge = layout::kLaneEdge;

inline constexpr int LaneWidth(int lane) { return LaneEdge[lane] - LaneEdge[lane - 1]; }

// Left edge that centres something of the given width in a lane; half pixels stay.
inline double LaneCentredX(int lane, int width) {
  return LaneEdge[lane - 1] + (LaneWidth(lane) - width) / 2.0;
}

// The car keeps its left edge at or right of this, and its right edge at or left of the last
// lane edge.
inline constexpr double kCarMinX = layout::kPlayerCarMinX;
inline constexpr double kCarBottom = layout::kPlayerCarBottom;

// Every speed of the race is a multiple of a seventh of a pixel per tick.
inline constexpr double Sevenths(int n) { return n / 7.0; }

// The race background's offset to the right of the left panel.
inline constexpr double kGroundX = layout::kGroundX;

}  // namespace rivoltra
