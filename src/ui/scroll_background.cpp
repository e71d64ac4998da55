#include "ui/scroll_background.h"

namespace rivoltra {

TScrollBackground::TScrollBackground(TSprite* parent, TImageItem& image, const double& speed)
    : TBackgroundSprite(parent), speed_(speed) {
  SetGridSize(1, 1);
  Image = &image;
  Y = 0;
  X = 0;
  SetZ(1);
  Endless = true;
}

void TScrollBackground::Advance(int lag) {
  TBackgroundSprite::Advance(lag);
  Y += speed_;
  // The road picture repeats every 512 pixels at most, so the jump back is invisible.
  if (Y > 600) Y -= 512;
}

}  // namespace rivoltra
