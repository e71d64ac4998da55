#pragma once

#include <cstdint>

#include "engine/sprite_image.h"

namespace rivoltra {

class ImageItem;

// A picture placed on the screen: titles, panels, banners, HUD parts. It starts centred on the
// 800 x 600 surface with Z 3 and plays its patterns once at 3 frames per second of game time.
class CaptionSprite : public ImageSprite {
 public:
  CaptionSprite(Sprite* parent, ImageItem& image, std::uint32_t timerInterval);
};

}  // namespace rivoltra
