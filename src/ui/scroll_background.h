#pragma once

#include "engine/sprite_background.h"

namespace rivoltra {

class ImageItem;

// The one endless picture behind everything: the road rushing past in the race, the still menu
// background elsewhere. It moves down by the race speed once per tick, whatever the lag.
class ScrollingBackground : public BackgroundSprite {
 public:
  // speed is the race's Speed, read every tick.
  ScrollingBackground(Sprite* parent, ImageItem& image, const double& speed);

  void Advance(int lag) override;

 private:
  const double& speed_;
};

}  // namespace rivoltra
