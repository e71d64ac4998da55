// The boxes the sprites and the race rules share.
#include "base/geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace rivoltra {
namespace {

TEST(PositionBounds, TruncatesTowardZeroClampsFarPositionsAndSaturatesTheEdges) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double X, Y;
    int Width, Height;
    Rect Expected;
  } cases[] = {
      {10.9, -3.9, 5, 6, {10, -3, 15, 3}},
      {-0.5, 0.5, 1, 1, {0, 0, 1, 1}},
      {nan, 1e300, 10, 10, {0, 1 << 30, 10, (1 << 30) + 10}},
      {-1e300, 0, 10, 10, {-(1 << 30), 0, -(1 << 30) + 10, 10}},
      {0, 0, INT_MAX, INT_MIN, {0, 0, INT_MAX, INT_MIN}},
      {1000, -1000, INT_MAX, INT_MIN, {1000, -1000, INT_MAX, INT_MIN}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PositionBounds(c.X, c.Y, c.Width, c.Height), c.Expected) << c.X << " " << c.Y;
  }
}

TEST(Overlaps, SharingAnEdgeIsNotOverlapping) {
  const Rect box{0, 0, 10, 10};
  EXPECT_TRUE(Overlaps(box, Rect{9, 9, 20, 20}));
  EXPECT_FALSE(Overlaps(box, Rect{10, 0, 20, 10}));
  EXPECT_FALSE(Overlaps(box, Rect{0, 10, 10, 20}));
  EXPECT_EQ(Intersection(box, Rect{5, -5, 15, 5}), (Rect{5, 0, 10, 5}));
  EXPECT_EQ(Intersection(box, Rect{10, 0, 20, 10}), Rect{});
}

}  // namespace
}  // namespace rivoltra
