#include "ui/scroll_background.h"

namespace rivoltra {

ScrollingBackground::ScrollingBackground(Sprite* parent, ImageItem& image, const double& speed)
    : BackgroundSprite(parent), speed_(speed) {
  SetGridSize(1, 1);
  Image = &image;
  Y = 0;
  X = 0;
  SetZ(1);
  Endless = true;
}

void ScrollingBackground::Advance(int lag) {
  BackgroundSprite::Advance(lag);
  Y += speed_;
  // The road picture repeats every 512 pixels at most, so the jump back is invisible.
  if (Y > 600) Y -= 512;
}

}  // namespace rivoltra
