#pragma once

#include <cstdint>

#include "engine/sprite_image.h"

namespace rivoltra {

class TImageItem;

// A picture placed on the screen: titles, panels, banners, HUD parts. It starts centred on the
// 800 x 600 surface with Z 3 and plays its patterns once at 3 frames per second of game time.
class TCaptionSprite : public TImageSprite {
 public:
  TCaptionSprite(TSprite* parent, TImageItem& image, std::uint32_t timerInterval);
};

}  // namespace rivoltra
