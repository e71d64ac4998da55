#pragma once

#include <cstdint>
#include <string_view>

#include "engine/sprite_image.h"

namespace rivoltra {

struct Game;

// The two effects that belong to the race rather than to one object: the spark where the gun
// hits and the explosion over the car after a crash. Created hidden; they follow the race state.
class RaceEffectSprite : public ImageSprite {
 public:
  // Hidden, Z 4, looping, standing on its first frame.
  RaceEffectSprite(Sprite* parent, Game& game, double x, double y, std::string_view imageName);
  void Advance(int /*lag*/) override {}
};

// The crash explosion and the spark as the race state has them.
void FollowExplosions(Game& game);

}  // namespace rivoltra
