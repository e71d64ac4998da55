#include <gtest/gtest.h>

#include <vector>

#include "ui/caption_sprite.h"
#include "ui/menu_button.h"
#include "ui/scroll_background.h"
#include "ui_fixture.h"

namespace rivoltra {
namespace {

using testing::Item;
using testing::UiFixture;

TEST(CaptionSprite, StartsCentredInRealNumbersAndPlaysItsPatternsOnce) {
  UiFixture ui({Item("Banner", 101, 50, 3)});
  auto* caption = new CaptionSprite(&ui.Sprites.Engine(), ui.Images.ItemByName("Banner"), 30);
  EXPECT_DOUBLE_EQ(caption->X, 349.5);
  EXPECT_DOUBLE_EQ(caption->Y, 275);
  EXPECT_EQ(caption->Z(), 3);
  EXPECT_EQ(caption->FrameCount, 3);
  EXPECT_DOUBLE_EQ(caption->FrameSpeed, 0.09);
  for (int tick = 0; tick < 100; ++tick) ui.Sprites.MoveSprites(1);
  EXPECT_EQ(caption->CurrentFrame(), 2) << "stays on its last pattern";
  EXPECT_EQ(caption->FrameSpeed, 0);
}

struct ButtonFixture : ::testing::Test {
  UiFixture Ui{{Item("Off", 100, 40, 2), Item("On", 100, 40, 2)}};
  MenuButtonGroup Group;
  int ActivatedSounds = 0;

  void AddButton(int slot, double x, double y) {
    Group.MenuButtons[static_cast<std::size_t>(slot)] =
        new MenuButton(&Ui.Sprites.Engine(), Ui.Images.Items(), "On", "Off", 1, 0, x, y);
    Group.ButtonCount = std::max(Group.ButtonCount, slot);
  }
  void Update() {
    UpdateButtonHighlight(Group, [this] { ++ActivatedSounds; });
  }
};

TEST_F(ButtonFixture, HitTestIncludesBothEdgesAndTheLowerSlotWins) {
  AddButton(1, 10, 10);   // 10..110 x 10..50
  AddButton(2, 110, 10);  // touches slot 1 at x 110
  const struct {
    int X, Y, Selected;
  } cases[] = {{10, 10, 1}, {110, 50, 1}, {111, 50, 2}, {210, 50, 2}, {211, 30, 2}, {50, 51, 2}};
  for (const auto& c : cases) {
    HitTestButtons(Group, c.X, c.Y);
    EXPECT_EQ(Group.SelectedButton, c.Selected) << c.X << "," << c.Y;
  }
}

TEST_F(ButtonFixture, HighlightFollowsTheSelectionAndSoundsOncePerChange) {
  AddButton(1, 0, 0);
  AddButton(2, 0, 100);
  Group.SelectedButton = 2;
  Update();
  Update();
  EXPECT_EQ(ActivatedSounds, 1);
  EXPECT_TRUE(Group.MenuButtons[2]->Highlighted);
  EXPECT_EQ(Group.MenuButtons[2]->Image, &Ui.Images.ItemByName("On"));
  EXPECT_DOUBLE_EQ(Group.MenuButtons[2]->FramePos, 1);
  Group.SelectedButton = 1;
  Update();
  EXPECT_EQ(ActivatedSounds, 2);
  EXPECT_FALSE(Group.MenuButtons[2]->Highlighted);
  EXPECT_EQ(Group.MenuButtons[2]->Image, &Ui.Images.ItemByName("Off"));
  Group.SelectedButton = 0;
  Update();
  EXPECT_EQ(ActivatedSounds, 2);
  EXPECT_FALSE(Group.MenuButtons[1]->Highlighted);
}

TEST_F(ButtonFixture, FreeingTheButtonsEmptiesTheSlotsAndTheTree) {
  const int before = Ui.Sprites.Engine().SpriteCount();
  AddButton(1, 0, 0);
  AddButton(2, 0, 100);
  FreeMenuButtons(Group);
  EXPECT_EQ(Group.ButtonCount, 0);
  EXPECT_EQ(Group.MenuButtons[1], nullptr);
  EXPECT_EQ(Ui.Sprites.Engine().SpriteCount(), before);
}

TEST(ScrollBackground, MovesBySpeedOncePerTickAndJumpsBack512PastTheBottom) {
  UiFixture ui({Item("Road", 64, 64, 1)});
  double speed = 0;
  auto* road = new ScrollingBackground(&ui.Sprites.Engine(), ui.Images.ItemByName("Road"), speed);
  EXPECT_EQ(road->Z(), 1);
  const struct {
    double StartY, Speed, EndY;
  } cases[] = {{0, 0, 0}, {599, 5, 92}, {595, 5, 600}, {10, 7.5, 17.5}};
  for (const auto& c : cases) {
    road->Y = c.StartY;
    speed = c.Speed;
    ui.Sprites.MoveSprites(3);  // the lag does not matter
    EXPECT_DOUBLE_EQ(road->Y, c.EndY) << c.StartY << " + " << c.Speed;
  }
}

TEST(ScrollBackground, CoversTheWholeSurfaceAtAnyOffset) {
  UiFixture ui({Item("Road", 64, 64, 1)});
  double speed = 0;
  auto* road = new ScrollingBackground(&ui.Sprites.Engine(), ui.Images.ItemByName("Road"), speed);
  for (const double y : {0.0, 123.0, 599.0, -37.0}) {
    road->Y = y;
    road->X = 124;
    ui.Surface().Fill(0xFFFF);
    ui.Sprites.DrawSprites();
    for (int py = 0; py < 600; py += 37) {
      for (int px = 0; px < 800; px += 41) {
        ASSERT_NE(ui.Surface().At(px, py), 0xFFFF) << "hole at " << px << "," << py << " y " << y;
      }
    }
  }
}

}  // namespace
}  // namespace rivoltra
