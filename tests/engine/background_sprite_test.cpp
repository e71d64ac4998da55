#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_fixtures.h"
#include "engine/image_list.h"
#include "engine/sprite_background.h"
#include "engine/sprite_engine_component.h"

namespace rivoltra {
namespace {

using testing::CoordinateColor;
using testing::FakeDisplay;
using testing::MakeItem;
using testing::MakePicture;

constexpr Pixel565 kUntouched = 0xF81F;

// A 2 x 1 grid of 32 x 32 cells over a 100 x 80 surface; pattern k's pixel (u, v) has its own
// colour, so every surface pixel tells which cell pixel landed on it.
class BackgroundGrid : public ::testing::Test {
 protected:
  BackgroundGrid() : display_(100, 80) {
    ImageItemData data = MakeItem(
        "Road",
        MakePicture(64, 32, [](int x, int y) { return CoordinateColor(x % 32, y, x / 32 + 1); }),
        32, 32);
    data.Transparent = false;
    list_.Items().Add(data);
    list_.SetDisplay(&display_);
    component_.SetDisplay(&display_);
    display_.Initialize();
    background_ = new BackgroundSprite(&component_.Engine());
    background_->Image = &list_.ItemByName("Road");
    background_->SetGridSize(2, 1);
    background_->SetCell(0, 0, 1);  // the cells show the patterns swapped
    background_->SetCell(1, 0, 0);
  }

  // The cell pixel that should cover surface pixel (sx, sy), or kUntouched.
  Pixel565 Expected(int sx, int sy, bool endless) const {
    const long long rx = sx - static_cast<long long>(std::trunc(background_->X));
    const long long ry = sy - static_cast<long long>(std::trunc(background_->Y));
    const long long column = rx >= 0 ? rx / 32 : -((-rx + 31) / 32);
    const long long row = ry >= 0 ? ry / 32 : -((-ry + 31) / 32);
    if (!endless && (column < 0 || column > 1 || row != 0)) return kUntouched;
    const int pattern = background_->CellAt(static_cast<int>((column % 2 + 2) % 2), 0);
    if (pattern < 0) return kUntouched;
    const int u = static_cast<int>(rx - column * 32), v = static_cast<int>(ry - row * 32);
    return XrgbToRgb565(CoordinateColor(u, v, pattern + 1));
  }

  void DrawAndCompare(double x, double y, bool endless) {
    background_->X = x;
    background_->Y = y;
    background_->Endless = endless;
    display_.BackBuffer().Fill(kUntouched);
    component_.DrawSprites();
    for (int sy = 0; sy < 80; ++sy) {
      for (int sx = 0; sx < 100; ++sx) {
        ASSERT_EQ(display_.BackBuffer().At(sx, sy), Expected(sx, sy, endless))
            << "at " << x << "," << y << " pixel " << sx << "," << sy;
      }
    }
  }

  FakeDisplay display_;
  ImageList list_;
  DisplaySpriteEngine component_;
  BackgroundSprite* background_;
};

TEST_F(BackgroundGrid, EndlessCoversTheWholeSurfaceAtAnyPosition) {
  for (auto [x, y] : {std::pair{-37.5, -100.2},
                      {0.0, 0.0},
                      {45.0, 13.0},
                      {-1000000.7, 31.0},
                      {99.0, 79.9},
                      {-5.0, 250.0}}) {
    DrawAndCompare(x, y, true);
  }
  background_->SetCell(1, 0, -1);  // an empty cell leaves its place alone
  DrawAndCompare(-20, 3, true);
}

TEST_F(BackgroundGrid, BoundedDrawsOnlyItsOwnCells) {
  for (auto [x, y] : {std::pair{-40.0, 5.0}, {70.9, -10.0}, {10.0, 60.0}, {-70.0, 0.0}}) {
    DrawAndCompare(x, y, false);
  }
}

TEST_F(BackgroundGrid, BoundsAndGrid) {
  background_->X = -3.5;
  background_->Y = 7;
  EXPECT_EQ(background_->GetBounds(), (Rect{-3, 7, 61, 39}));
  background_->Endless = true;
  EXPECT_EQ(background_->GetBounds(), (Rect{0, 0, 100, 80}));
  background_->Endless = false;
  background_->Image = nullptr;
  EXPECT_EQ(background_->GetBounds(), Rect{});
  EXPECT_FALSE(background_->CanCollide);

  background_->SetCellSolid(1, 0, false);
  background_->SetGridSize(3, 2);  // resizing resets every cell
  EXPECT_EQ(background_->CellAt(2, 1), 0);
  EXPECT_TRUE(background_->CellSolidAt(1, 0));
  EXPECT_EQ(background_->CellAt(3, 0), -1);
  EXPECT_FALSE(background_->CellSolidAt(-1, 0));
  background_->SetGridSize(0, 5);
  EXPECT_EQ(background_->GridWidth(), 0);
  EXPECT_EQ(background_->GridHeight(), 0);
  EXPECT_THROW(background_->SetGridSize(1 << 16, 1 << 16), SpriteError);
  EXPECT_EQ(background_->GridWidth(), 0);
}

TEST_F(BackgroundGrid, HitTestLooksAtTheSolidCellsUnderTheOverlap) {
  background_->CanCollide = true;
  background_->SetCellSolid(1, 0, false);
  Sprite& probe = *new Sprite(&component_.Engine());
  probe.Width = probe.Height = 4;
  struct Case {
    bool Endless;
    double BackgroundX;
    int ProbeX, ProbeY;
    bool Hit;
  } cases[] = {
      {false, 10, 12, 5, true},   // inside cell 0
      {false, 10, 50, 5, false},  // inside cell 1, not solid
      {false, 10, 40, 5, true},   // straddles cells 0 and 1
      {false, 10, 42, 5, false},  // starts exactly where cell 1 does
      {true, -20, 0, 0, true},    // relative 20: cell 0
      {true, -20, 20, 0, false},  // relative 40: cell 1
      {true, 50, 10, 40, true},   // relative -40: cell -2, wrapped to 0; any row
      {true, 50, 20, 0, false},   // relative -30: cell -1, wrapped to 1
  };
  for (const Case& c : cases) {
    background_->Endless = c.Endless;
    background_->X = c.BackgroundX;
    background_->Y = 0;
    probe.X = c.ProbeX;
    probe.Y = c.ProbeY;
    EXPECT_EQ(background_->HitTest(probe), c.Hit) << c.BackgroundX << " " << c.ProbeX;
  }
  background_->Image = nullptr;
  EXPECT_TRUE(background_->HitTest(probe));
}

}  // namespace
}  // namespace rivoltra
