// The animation step the sprites and the race rules share.
#include "base/animation.h"

#include <gtest/gtest.h>

namespace rivoltra {
namespace {

TEST(AnimationStep, AdvancesLoopsAndStops) {
  struct Case {
    bool Looped;
    int FrameCount;
    double Position, Speed;
    int Lag;
    double ExpectedPosition, ExpectedSpeed;
  } cases[] = {
      {true, 4, 3.5, 1, 1, 0.5, 1},      // wraps past the end
      {true, 4, 0.5, -1, 1, 3.5, -1},    // and past the start
      {true, 4, 1.0, 0.5, 3, 2.5, 0.5},  // lag multiplies the speed
      {true, 4, 2.0, 9, 2, 0.0, 9},      // many turns at once
      {true, 0, 2.0, 1, 1, 0.0, 1},      // no frames: held at 0
      {false, 4, 3.5, 1, 1, 3.0, 0},     // one-shot stops on its last frame
      {false, 4, 2.0, 1, 1, 3.0, 1},     // reaching the last frame exactly keeps going
      {false, 4, 0.5, -1, 1, 0.0, 0},    // negative position clamped
      {false, 0, 0.0, 1, 1, 0.0, 0},     // no frames: last frame -1 is clamped to 0
  };
  for (const Case& c : cases) {
    Animation animation{c.FrameCount, c.Looped, c.Position, c.Speed};
    animation.Advance(c.Lag);
    EXPECT_DOUBLE_EQ(animation.Pos, c.ExpectedPosition) << c.Looped << " " << c.Position;
    EXPECT_DOUBLE_EQ(animation.Speed, c.ExpectedSpeed) << c.Looped << " " << c.Position;
  }
}

}  // namespace
}  // namespace rivoltra
