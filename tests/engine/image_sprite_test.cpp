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

TEST(ImageSpriteAnimation, AdvancesLoopsAndStops) {
  struct Case {
    bool looped;
    int frameCount;
    double position, speed;
    int lag;
    double expectedPosition, expectedSpeed;
  } cases[] = {
      {true, 4, 3.5, 1, 1, 0.5, 1},      // wraps past the end
      {true, 4, 0.5, -1, 1, 3.5, -1},    // and past the start
      {true, 4, 1.0, 0.5, 3, 2.5, 0.5},  // lag multiplies the speed
      {true, 4, 2.0, 9, 2, 0.0, 9},      // many turns at once
      {true, 0, 2.0, 1, 1, 0.0, 1},      // no frames: held at 0
      {false, 4, 3.5, 1, 1, 3.0, 0},     // one-shot stops on its last frame
      {false, 4, 2.0, 1, 1, 3.0, 1},     // reaching the last frame exactly keeps going
      {false, 4, 0.5, -1, 1, 0.0, 0},    // negative position clamped
      {false, 0, 0.0, 1, 1, 0.0, 0},     // no frames: last frame -1 is clamped to 0
  };
  for (const Case& c : cases) {
    ImageSprite sprite(nullptr);
    sprite.FrameLooped = c.looped;
    sprite.FrameCount = c.frameCount;
    sprite.FramePos = c.position;
    sprite.FrameSpeed = c.speed;
    sprite.Advance(c.lag);
    EXPECT_DOUBLE_EQ(sprite.FramePos, c.expectedPosition) << c.looped << " " << c.position;
    EXPECT_DOUBLE_EQ(sprite.FrameSpeed, c.expectedSpeed) << c.looped << " " << c.position;
  }
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
    double x, y;
    int left, top;
  } cases[] = {{850, 0, 0, 0},       {820, 10, -30, 10}, {800, 600, 800, 600}, {-10.9, -5, -10, -5},
               {-60, -41, 790, 599}, {1700, 1280, 0, 0}, {801, 641, -49, 1}};
  for (const Case& c : cases) {
    sprite->X = c.x;
    sprite->Y = c.y;
    EXPECT_EQ(sprite->GetBounds(), Bounds(c.left, c.top, 50, 40)) << c.x << "," << c.y;
  }
  sprite->Wrap = false;
  sprite->X = 850;
  EXPECT_EQ(sprite->GetBounds().Left, 850);
}

class DrawnImageSprite : public ::testing::Test {
 protected:
  DrawnImageSprite() : display(40, 30) {
    // Three 4 x 4 patterns in solid colours 1, 2, 3 (as blue levels), a black key pixel in each
    // top-left corner.
    list.Items().Add(MakeItem(
        "Frames",
        MakePicture(12, 4,
                    [](int x, int y) {
                      return (x % 4 == 0 && y == 0) ? 0u
                                                    : static_cast<std::uint32_t>((x / 4 + 1) * 8);
                    }),
        4, 4));
    list.SetDisplay(&display);
    component.SetDisplay(&display);
    display.Initialize();
    sprite = new ImageSprite(&component.Engine());
    sprite->Image = &list.ItemByName("frames");
  }
  Pixel565 Frame(int n) const { return static_cast<Pixel565>(n); }  // blue level n in 5-6-5

  FakeDisplay display;
  ImageList list;
  DisplaySpriteEngine component;
  ImageSprite* sprite;
};

TEST_F(DrawnImageSprite, RendersTheCurrentFrameCentredInItsBox) {
  sprite->X = 10.9;
  sprite->Y = 20;
  sprite->Width = 8;
  sprite->Height = 6;
  sprite->FrameStart = 1;
  sprite->FramePos = 1.7;  // frame 2
  EXPECT_EQ(sprite->DrawRect(), (Rect{12, 21, 20, 27}));
  component.DrawSprites();
  const Surface& s = display.BackBuffer();
  EXPECT_EQ(s.At(12, 21), 0);  // the key pixel
  EXPECT_EQ(s.At(13, 21), Frame(3));
  EXPECT_EQ(s.At(15, 24), Frame(3));
  EXPECT_EQ(s.At(16, 24), 0);
  EXPECT_EQ(s.At(11, 22), 0);

  // Boxes smaller than the image shift it by half the difference, truncated toward zero.
  sprite->Width = 1;
  sprite->Height = 3;
  EXPECT_EQ(sprite->DrawRect(), (Rect{9, 20, 10, 23}));
}

TEST_F(DrawnImageSprite, FramesOutOfRangeOrAMissingImageDrawNothing) {
  sprite->Width = sprite->Height = 4;
  for (double position : {3.0, -1.0}) {
    sprite->FramePos = position;
    component.DrawSprites();
  }
  sprite->Image = nullptr;
  component.DrawSprites();
  const auto& pixels = display.BackBuffer().Pixels();
  EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](Pixel565 p) { return p == 0; }));
  EXPECT_EQ(component.Engine().DrawnCount(), 1);  // culling still counted it
}

TEST_F(DrawnImageSprite, PixelTestComparesOpaquePixelsOfTheCurrentFrames) {
  // Two 4 x 4 frames: one opaque in its left half only, the other in its right half only.
  list.Items().Add(MakeItem("Halves",
                            MakePicture(8, 4,
                                        [](int x, int) {
                                          const bool left = x < 4;
                                          return (left ? x % 4 < 2 : x % 4 >= 2) ? 0xFFFFFFu : 0u;
                                        }),
                            4, 4));
  ImageItem& halves = list.ItemByName("Halves");
  sprite->Image = &halves;
  sprite->Width = sprite->Height = 4;
  sprite->X = 10;
  sprite->Y = 10;
  auto* other = new ImageSprite(&component.Engine());
  other->Image = &halves;
  other->FramePos = 1;
  other->Width = other->Height = 4;
  other->X = 10;
  other->Y = 10;

  EXPECT_EQ(sprite->CheckCollisions(), 1);  // rectangles alone
  sprite->PixelTest = true;
  EXPECT_EQ(sprite->CheckCollisions(), 0);  // left half against right half
  other->X = 9;                             // other's opaque columns now cover x 10 and 11
  EXPECT_EQ(sprite->CheckCollisions(), 1);
  other->Y = 13.5;  // a single row of overlap is enough
  EXPECT_EQ(sprite->CheckCollisions(), 1);
}

}  // namespace
}  // namespace rivoltra
