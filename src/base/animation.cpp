#include "base/animation.h"

#include <cmath>

namespace rivoltra {

void StepAnimation(double& pos, double& speed, std::int32_t frameCount, bool looped,
                   std::int32_t lag) {
  pos += speed * lag;
  if (looped) {
    if (frameCount > 0) {
      pos -= std::trunc(pos / frameCount) * frameCount;
      if (pos < 0) pos += frameCount;
    } else {
      pos = 0;
    }
    return;
  }
  if (pos >= frameCount) {
    pos = frameCount - 1;
    speed = 0;
  }
  if (pos < 0) {
    pos = 0;
    speed = 0;
  }
}

}  // namespace rivoltra
