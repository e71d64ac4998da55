#pragma once

#include "engine/sprite.h"

namespace rivoltra {

class ImageItem;

// A sprite that shows one pattern of an image, centred in its box, with a frame animation.
class ImageSprite : public Sprite {
 public:
  explicit ImageSprite(Sprite* parent) : Sprite(parent) {}

  int FrameCount = 0;
  // Wraps around; otherwise the animation stops on its last frame.
  bool FrameLooped = false;
  // The frame shown is the integer part.
  double FramePos = 0;
  // Frames per unit of lag.
  double FrameSpeed = 0;
  // Pattern index of frame 0.
  int FrameStart = 0;
  // Not owned; an image sprite without one draws nothing.
  ImageItem* Image = nullptr;
  // Pixel-accurate collisions against other image sprites.
  bool PixelTest = false;
  // The position wraps around the surface.
  bool Wrap = false;

  int CurrentFrame() const;
  // Where the pattern's top-left corner goes: the bounds moved so the image is centred.
  Rect DrawRect() const;

  void Render() override;
  void Advance(int lag) override;
  Rect GetBounds() const override;
  bool HitTest(Sprite& other) override;
};

// Whether the current frames of two image sprites have an opaque pixel at the same place on the
// surface. True when either frame is not available as pixels, so the rectangles decide.
bool FramesOverlap(const ImageSprite& a, const ImageSprite& b);

}  // namespace rivoltra
