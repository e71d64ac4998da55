// The animation step the sprites and the race rules share.
#include "base/animation.h"

#include <gtest/gtest.h>

namespace rivoltra {
namespace {

TEST(AnimationStep, AdvancesLoopsAndStops) {
  struct Case {
    bool looped;
    int frameCount;
    double position, speed;
    int lag;
    double expectedPosition, expectedSpeed;
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
    Animation animation{c.frameCount, c.looped, c.position, c.speed};
    animation.Advance(c.lag);
    EXPECT_DOUBLE_EQ(animation.Pos, c.expectedPosition) << c.looped << " " << c.position;
    EXPECT_DOUBLE_EQ(animation.Speed, c.expectedSpeed) << c.looped << " " << c.position;
  }
}

}  // namespace
}  // namespace rivoltra
