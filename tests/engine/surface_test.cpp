#include "engine/surface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rivoltra {
namespace {

// The fill takes a byte-wide path for colours whose two bytes agree and a row-copy path for the
// others; both must reach every pixel of every shape and nothing beyond.
TEST(SurfaceFill, SetsEveryPixelOfEveryShape) {
  struct Case {
    int Width, Height;
    Pixel565 Color;
  };
  const Case cases[] = {{800, 600, 0},    {800, 600, 0xF81F}, {1, 1, 0x1234}, {1, 7, 0xABCD},
                        {7, 1, 0xABCD},   {3, 5, 0xFFFF},     {5, 3, 0x0102}, {0, 4, 0x1234},
                        {640, 2, 0x00FF}, {2, 480, 0xFF00}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Width << "x" << c.Height << " colour " << c.Color);
    Surface surface(c.Width, c.Height);
    surface.Fill(0x5A5A);
    surface.Fill(c.Color);
    ASSERT_EQ(surface.Pixels().size(), static_cast<std::size_t>(c.Width * c.Height));
    EXPECT_TRUE(std::all_of(surface.Pixels().begin(), surface.Pixels().end(),
                            [&](Pixel565 p) { return p == c.Color; }));
  }
}

}  // namespace
}  // namespace rivoltra
