#include <gtest/gtest.h>

#include "engine/engine_fixtures.h"
#include "engine/image_list.h"
#include "engine/sprite_engine_component.h"
#include "engine/sprite_image.h"

namespace rivoltra {
namespace {

using testing::FakeDisplay;
using testing::MakeItem;
using testing::MakePicture;

// The step itself is the shared animation step's (its table is in the base tests); the sprite
// must hand it its own frame values.
TEST(ImageSpriteAnimation, AdvancesItsFramesByTheSharedStep) {
  ImageSprite looped(nullptr);
  looped.FrameLooped = true;
  looped.FrameCount = 4;
  looped.FramePos = 3.5;
  looped.FrameSpeed = 0.5;
  looped.Advance(3);
  EXPECT_DOUBLE_EQ(looped.FramePos, 1.0);
  EXPECT_DOUBLE_EQ(looped.FrameSpeed, 0.5);

  ImageSprite oneShot(nullptr);
  oneShot.FrameCount = 4;
  oneShot.FramePos = 3.5;
  oneShot.FrameSpeed = 1;
  oneShot.Advance(1);
  EXPECT_DOUBLE_EQ(oneShot.FramePos, 3.0);
  EXPECT_DOUBLE_EQ(oneShot.FrameSpeed, 0);
}

TEST(ImageSpriteBounds, WrapBringsASpriteBackAtTheOtherEdge) {
  Surface surface(800, 600);
  SpriteEngine engine;
  engine.SetSurface(&surface);
  auto* sprite = new ImageSprite(&engine);
  sprite->Width = 50;
  sprite->Height = 40;
  sprite->Wrap = true;
  struct Case {
    double X, Y;
    int Left, Top;
  } cases[] = {{850, 0, 0, 0},       {820, 10, -30, 10}, {800, 600, 800, 600}, {-10.9, -5, -10, -5},
               {-60, -41, 790, 599}, {1700, 1280, 0, 0}, {801, 641, -49, 1}};
  for (const Case& c : cases) {
    sprite->X = c.X;
    sprite->Y = c.Y;
    EXPECT_EQ(sprite->GetBounds(), Bounds(c.Left, c.Top, 50, 40)) << c.X << "," << c.Y;
  }
  sprite->Wrap = false;
  sprite->X = 850;
  EXPECT_EQ(sprite->GetBounds().Left, 850);
}

class DrawnImageSprite : public ::testing::Test {
 protected:
  DrawnImageSprite() : display_(40, 30) {
    // Three 4 x 4 patterns in solid colours 1, 2, 3 (as blue levels), a black key pixel in each
    // top-left corner.
    list_.Items().Add(MakeItem(
        "Frames",
        MakePicture(12, 4,
                    [](int x, int y) {
                      return (x % 4 == 0 && y == 0) ? 0u
                                                    : static_cast<std::uint32_t>((x / 4 + 1) * 8);
                    }),
        4, 4));
    list_.SetDisplay(&display_);
    component_.SetDisplay(&display_);
    display_.Initialize();
    sprite_ = new ImageSprite(&component_.Engine());
    sprite_->Image = &list_.ItemByName("frames");
  }
  Pixel565 Frame(int n) const { return static_cast<Pixel565>(n); }  // blue level n in 5-6-5

  FakeDisplay display_;
  ImageList list_;
  DisplaySpriteEngine component_;
  ImageSprite* sprite_;
};

TEST_F(DrawnImageSprite, RendersTheCurrentFrameCentredInItsBox) {
  sprite_->X = 10.9;
  sprite_->Y = 20;
  sprite_->Width = 8;
  sprite_->Height = 6;
  sprite_->FrameStart = 1;
  sprite_->FramePos = 1.7;  // frame 2
  EXPECT_EQ(sprite_->DrawRect(), (Rect{12, 21, 20, 27}));
  component_.DrawSprites();
  const Surface& s = display_.BackBuffer();
  EXPECT_EQ(s.At(12, 21), 0);  // the key pixel
  EXPECT_EQ(s.At(13, 21), Frame(3));
  EXPECT_EQ(s.At(15, 24), Frame(3));
  EXPECT_EQ(s.At(16, 24), 0);
  EXPECT_EQ(s.At(11, 22), 0);

  // Boxes smaller than the image shift it by half the difference, truncated toward zero.
  sprite_->Width = 1;
  sprite_->Height = 3;
  EXPECT_EQ(sprite_->DrawRect(), (Rect{9, 20, 10, 23}));
}

TEST_F(DrawnImageSprite, FramesOutOfRangeOrAMissingImageDrawNothing) {
  sprite_->Width = sprite_->Height = 4;
  for (double position : {3.0, -1.0}) {
    sprite_->FramePos = position;
    component_.DrawSprites();
  }
  sprite_->Image = nullptr;
  component_.DrawSprites();
  const auto& pixels = display_.BackBuffer().Pixels();
  EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](Pixel565 p) { return p == 0; }));
  EXPECT_EQ(component_.Engine().DrawnCount(), 1);  // culling still counted it
}

TEST_F(DrawnImageSprite, PixelTestComparesOpaquePixelsOfTheCurrentFrames) {
  // Two 4 x 4 frames: one opaque in its left half only, the other in its right half only.
  list_.Items().Add(MakeItem("Halves",
                             MakePicture(8, 4,
                                         [](int x, int) {
                                           const bool left = x < 4;
                                           return (left ? x % 4 < 2 : x % 4 >= 2) ? 0xFFFFFFu : 0u;
                                         }),
                             4, 4));
  ImageItem& halves = list_.ItemByName("Halves");
  sprite_->Image = &halves;
  sprite_->Width = sprite_->Height = 4;
  sprite_->X = 10;
  sprite_->Y = 10;
  auto* other = new ImageSprite(&component_.Engine());
  other->Image = &halves;
  other->FramePos = 1;
  other->Width = other->Height = 4;
  other->X = 10;
  other->Y = 10;

  EXPECT_EQ(sprite_->CheckCollisions(), 1);  // rectangles alone
  sprite_->PixelTest = true;
  EXPECT_EQ(sprite_->CheckCollisions(), 0);  // left half against right half
  other->X = 9;                              // other's opaque columns now cover x 10 and 11
  EXPECT_EQ(sprite_->CheckCollisions(), 1);
  other->Y = 13.5;  // a single row of overlap is enough
  EXPECT_EQ(sprite_->CheckCollisions(), 1);
}

}  // namespace
}  // namespace rivoltra
