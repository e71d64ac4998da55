#include <cmath>

#include "race/core/race_state.h"

namespace rivoltra {

// The same steps as the image sprites' animation, so a frame ends on the same tick in both.
void Animation::Advance(std::int32_t lag) {
  Pos += Speed * lag;
  if (Looped) {
    if (FrameCount > 0) {
      Pos -= std::trunc(Pos / FrameCount) * FrameCount;
      if (Pos < 0) Pos += FrameCount;
    } else {
      Pos = 0;
    }
    return;
  }
  if (Pos >= FrameCount) {
    Pos = FrameCount - 1;
    Speed = 0;
  }
  if (Pos < 0) {
    Pos = 0;
    Speed = 0;
  }
}

}  // namespace rivoltra
