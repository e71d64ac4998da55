#include "ui/caption_sprite.h"

#include "engine/image_list.h"
#include "ui/screen_layout.h"

namespace rivoltra {

namespace {
constexpr double kDisplayWidth = layout::kScreenWidth;
constexpr double kDisplayHeight = layout::kScreenHeight;
}  // namespace

CaptionSprite::CaptionSprite(Sprite* parent, ImageItem& image, std::uint32_t timerInterval)
    : ImageSprite(parent) {
  Image = &image;
  // The pattern size; an item stored without pattern size is one whole-picture pattern.
  Width = image.Width();
  Height = image.Height();
  // Real numbers: a caption of odd size keeps its half pixel.
  X = kDisplayWidth / 2 - Width / 2.0;
  Y = kDisplayHeight / 2 - Height / 2.0;
  SetZ(3);
  FramePos = 0;
  FrameCount = image.PatternCount();
  FrameLooped = false;
  FrameSpeed = timerInterval / 1000.0 * 3;
}

}  // namespace rivoltra
