#pragma once

#include <array>
#include <cstdint>

namespace rivoltra {

// The road's lanes in screen pixels: lane L (1..4) spans LaneEdge[L-1] (inclusive) to
// LaneEdge[L]. Lane 1 is the off-road strip on the left; lanes 2..4 are tarmac.
inline constexpr std::array<int, 5> kLaneEdge = {170, 283, 392, 502, 615};

inline constexpr int LaneWidth(int lane) { return kLaneEdge[lane] - kLaneEdge[lane - 1]; }

// Left edge that centres something of the given width in a lane; half pixels stay.
inline double LaneCentredX(int lane, int width) {
  return kLaneEdge[lane - 1] + (LaneWidth(lane) - width) / 2.0;
}

// The car keeps its left edge at or right of this, and its right edge at or left of the last
// lane edge.
inline constexpr double kCarMinX = 166;
inline constexpr double kCarBottom = 565;
// Roadside signs and walls stand left or right of the road.
inline constexpr double kLeftSideX = 140;
inline constexpr double kRightSideX = 630;
// Objects more than a screen height above or below the top edge are gone.
inline constexpr double kRoadScreenHeight = 600;
// Where the hidden explosions wait until they are first shown.
inline constexpr double kExplosionStartX = 400;
inline constexpr double kExplosionStartY = 300;

// Every speed of the race is a multiple of a seventh of a pixel per tick.
inline constexpr double Sevenths(int n) { return n / 7.0; }

}  // namespace rivoltra
