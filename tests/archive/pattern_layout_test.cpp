#include "engine/pattern_layout.h"

#include <gtest/gtest.h>

namespace rivoltra {
namespace {

TEST(PatternLayout, AHundredByTwentyStripHoldsFiveTwentyPixelPatterns) {
  const PatternLayout layout{100, 20, 20, 20, 0, 0};
  EXPECT_EQ(layout.BuiltPatternCount(), 5);
  EXPECT_EQ(layout.PatternCountBeforeDisplay(), 5);
  EXPECT_EQ(layout.PatternBounds(3), (Rect{60, 0, 80, 20}));
  EXPECT_EQ(layout.PatternBounds(-1), Rect{});
  EXPECT_EQ(layout.PatternBounds(5), Rect{});
}

TEST(PatternLayout, ZeroPatternWidthIsWholePicture) {
  const PatternLayout layout{37, 11, 0, 0, 3, 3};
  EXPECT_EQ(layout.Width(), 37);
  EXPECT_EQ(layout.Height(), 11);
  EXPECT_EQ(layout.BuiltPatternCount(), 1);
  EXPECT_EQ(layout.PatternBounds(0), (Rect{0, 0, 37, 11}));
}

struct CountCase {
  PatternLayout Layout;
  int Before;
  int Built;
};

TEST(PatternLayout, CountsBeforeAndAfterBuilding) {
  const CountCase cases[] = {
      {{100, 20, 20, 20, 2, 0}, 4, 4},  // 100 div 22 = 4 remainder 12
      {{108, 20, 20, 20, 2, 0}, 5, 5},  // remainder 20 equals the width: one more
      {{64, 64, 16, 16, 0, 0}, 16, 16},
      {{64, 48, 16, 16, 1, 1}, 6, 6},  // 64 div 17 = 3 rem 13, 48 div 17 = 2 rem 14
      {{50, 33, 16, 16, 1, 1}, 6, 6},  // 50 div 17 = 2 rem 16: one more column
      {{10, 10, 20, 20, 0, 0}, 0, 0},  // patterns larger than the picture
      {{0, 0, 0, 0, 0, 0}, 0, 0},      // empty picture
      {{0, 0, 8, 8, 0, 0}, 0, 0},
      {{10, 10, 5, 5, -5, -5}, 0, 0},  // cell of no size
      {{16384, 16384, 1, 1, 0, 0}, 16384 * 16384, 16384 * 16384},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.Layout.PictureWidth << "x" << c.Layout.PictureHeight << " pattern "
                 << c.Layout.PatternWidth << " skip " << c.Layout.SkipWidth);
    EXPECT_EQ(c.Layout.PatternCountBeforeDisplay(), c.Before);
    EXPECT_EQ(c.Layout.BuiltPatternCount(), c.Built);
  }
}

TEST(PatternLayout, SkipsSeparateCells) {
  const PatternLayout layout{64, 48, 16, 16, 1, 1};
  EXPECT_EQ(layout.Columns(), 3);  // (64 + 1) div 17
  EXPECT_EQ(layout.Rows(), 2);     // (48 + 1) div 17
  EXPECT_EQ(layout.PatternBounds(4), (Rect{17, 17, 33, 33}));
}

}  // namespace
}  // namespace rivoltra
