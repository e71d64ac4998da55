#include "engine/sprite_image.h"

#include <climits>
#include <cmath>

#include "engine/image_list.h"

namespace rivoltra {

int ImageSprite::CurrentFrame() const {
  const long long frame = static_cast<long long>(FrameStart) + TruncatePosition(FramePos);
  return static_cast<int>(std::clamp<long long>(frame, INT_MIN, INT_MAX));
}

Rect ImageSprite::DrawRect() const {
  Rect bounds = GetBounds();
  if (Image == nullptr) return bounds;
  const int dx = static_cast<int>((static_cast<long long>(Width) - Image->Width()) / 2);
  const int dy = static_cast<int>((static_cast<long long>(Height) - Image->Height()) / 2);
  return SafeBounds(TruncatePosition(static_cast<double>(bounds.Left) + dx),
                    TruncatePosition(static_cast<double>(bounds.Top) + dy), Width, Height);
}

void ImageSprite::Render() {
  Surface* surface = Engine() != nullptr ? Engine()->GetSurface() : nullptr;
  if (Image == nullptr || surface == nullptr) return;
  const Rect where = DrawRect();
  Image->Draw(*surface, where.Left, where.Top, CurrentFrame());
}

void ImageSprite::Advance(int lag) {
  FramePos += FrameSpeed * lag;
  if (FrameLooped) {
    if (FrameCount > 0) {
      FramePos -= std::trunc(FramePos / FrameCount) * FrameCount;
      if (FramePos < 0) FramePos += FrameCount;
    } else {
      FramePos = 0;
    }
    return;
  }
  if (FramePos >= FrameCount) {
    FramePos = FrameCount - 1;
    FrameSpeed = 0;
  }
  if (FramePos < 0) {
    FramePos = 0;
    FrameSpeed = 0;
  }
}

Rect ImageSprite::GetBounds() const {
  long long x = TruncatePosition(AbsoluteX());
  long long y = TruncatePosition(AbsoluteY());
  if (Wrap && Engine() != nullptr) {
    const Rect& surface = Engine()->SurfaceRect();
    // A sprite that leaves one edge comes back in at the other, partly visible on both sides.
    auto wrap = [](long long value, long long edge, long long size) {
      const long long span = edge + size;
      if (span <= 0) return value;
      value %= span;
      if (value < 0) value += span;
      return value > edge ? value - span : value;
    };
    x = wrap(x, surface.Right, Width);
    y = wrap(y, surface.Bottom, Height);
  }
  return SafeBounds(static_cast<int>(x), static_cast<int>(y), Width, Height);
}

bool ImageSprite::HitTest(Sprite& other) {
  auto* image = dynamic_cast<ImageSprite*>(&other);
  if (image == nullptr || !PixelTest) return true;
  return FramesOverlap(*this, *image);
}

namespace {

struct FramePixels {
  const Surface* Source = nullptr;
  Rect Area;       // the pattern within its surface
  Rect OnSurface;  // where the pattern lies on the drawing surface
  Pixel565 Key = 0;
};

bool ReadFrame(const ImageSprite& sprite, FramePixels& frame) {
  if (sprite.Image == nullptr) return false;
  const int pattern = sprite.CurrentFrame();
  frame.Source = sprite.Image->PatternSurface(pattern);
  if (frame.Source == nullptr) return false;
  frame.Area = sprite.Image->PatternRect(pattern);
  const Rect drawAt = sprite.DrawRect();
  frame.OnSurface = SafeBounds(drawAt.Left, drawAt.Top, frame.Area.Width(), frame.Area.Height());
  frame.Key = sprite.Image->ColorKey();
  return true;
}

bool Opaque(const FramePixels& frame, int x, int y) {
  return frame.Source->At(frame.Area.Left + x - frame.OnSurface.Left,
                          frame.Area.Top + y - frame.OnSurface.Top) != frame.Key;
}

}  // namespace

bool FramesOverlap(const ImageSprite& a, const ImageSprite& b) {
  FramePixels first, second;
  if (!ReadFrame(a, first) || !ReadFrame(b, second)) return true;
  const Rect overlap = Intersection(first.OnSurface, second.OnSurface);
  for (int y = overlap.Top; y < overlap.Bottom; ++y) {
    for (int x = overlap.Left; x < overlap.Right; ++x) {
      if (Opaque(first, x, y) && Opaque(second, x, y)) return true;
    }
  }
  return false;
}

}  // namespace rivoltra
