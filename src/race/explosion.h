#pragma once

#include <cstdint>
#include <string_view>

#include "engine/sprite_image.h"

namespace rivoltra {

struct Game;

// The two effects that belong to the race rather than to one object: the spark where the gun
// hits and the explosion over the car after a crash. Created hidden, shown when needed.
class TExplosion : public TImageSprite {
 public:
  // Hidden, Z 4, looping, standing on its first frame until a frame speed is given.
  TExplosion(TSprite* parent, Game& game, double x, double y, std::string_view imageName);

  // Set at creation; nothing reads it.
  std::int32_t Created = 1;
  // Whole frame number seen on the previous follow-up.
  std::int32_t LastFrame = 0;
  // Frame changes counted since the explosion was last reset.
  std::int32_t FramesSeen = 0;
};

// Shown over the car from its first frame at 20 frames per second. A crash during a running
// explosion restarts the frames but keeps the count.
void StartCrashExplosion(Game& game);
// Once per running tick: counts frame changes, keeps the explosion on the car (a quarter of its
// height lower for the second run) and says whether both runs are over, so the car comes back.
bool CrashExplosionFinished(Game& game);
void ResetCrashExplosion(Game& game);

}  // namespace rivoltra
