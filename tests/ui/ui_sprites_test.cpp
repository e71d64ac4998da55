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
  auto* caption = new CaptionSprite(&ui.sprites.Engine(), ui.images.ItemByName("Banner"), 30);
  EXPECT_DOUBLE_EQ(caption->X, 349.5);
  EXPECT_DOUBLE_EQ(caption->Y, 275);
  EXPECT_EQ(caption->Z(), 3);
  EXPECT_EQ(caption->FrameCount, 3);
  EXPECT_DOUBLE_EQ(caption->FrameSpeed, 0.09);
  for (int tick = 0; tick < 100; ++tick) ui.sprites.MoveSprites(1);
  EXPECT_EQ(caption->CurrentFrame(), 2) << "stays on its last pattern";
  EXPECT_EQ(caption->FrameSpeed, 0);
}

struct ButtonFixture : ::testing::Test {
  UiFixture ui{{Item("Off", 100, 40, 2), Item("On", 100, 40, 2)}};
  MenuButtonGroup group;
  int activatedSounds = 0;

  void AddButton(int slot, double x, double y) {
    group.MenuButtons[static_cast<std::size_t>(slot)] =
        new MenuButton(&ui.sprites.Engine(), ui.images.Items(), "On", "Off", 1, 0, x, y);
    group.ButtonCount = std::max(group.ButtonCount, slot);
  }
  void Update() {
    UpdateButtonHighlight(group, [this] { ++activatedSounds; });
  }
};

TEST_F(ButtonFixture, HitTestIncludesBothEdgesAndTheLowerSlotWins) {
  AddButton(1, 10, 10);   // 10..110 x 10..50
  AddButton(2, 110, 10);  // touches slot 1 at x 110
  const struct {
    int x, y, selected;
  } cases[] = {{10, 10, 1}, {110, 50, 1}, {111, 50, 2}, {210, 50, 2}, {211, 30, 2}, {50, 51, 2}};
  for (const auto& c : cases) {
    HitTestButtons(group, c.x, c.y);
    EXPECT_EQ(group.SelectedButton, c.selected) << c.x << "," << c.y;
  }
}

TEST_F(ButtonFixture, HighlightFollowsTheSelectionAndSoundsOncePerChange) {
  AddButton(1, 0, 0);
  AddButton(2, 0, 100);
  group.SelectedButton = 2;
  Update();
  Update();
  EXPECT_EQ(activatedSounds, 1);
  EXPECT_TRUE(group.MenuButtons[2]->Highlighted);
  EXPECT_EQ(group.MenuButtons[2]->Image, &ui.images.ItemByName("On"));
  EXPECT_DOUBLE_EQ(group.MenuButtons[2]->FramePos, 1);
  group.SelectedButton = 1;
  Update();
  EXPECT_EQ(activatedSounds, 2);
  EXPECT_FALSE(group.MenuButtons[2]->Highlighted);
  EXPECT_EQ(group.MenuButtons[2]->Image, &ui.images.ItemByName("Off"));
  group.SelectedButton = 0;
  Update();
  EXPECT_EQ(activatedSounds, 2);
  EXPECT_FALSE(group.MenuButtons[1]->Highlighted);
}

TEST_F(ButtonFixture, FreeingTheButtonsEmptiesTheSlotsAndTheTree) {
  const int before = ui.sprites.Engine().SpriteCount();
  AddButton(1, 0, 0);
  AddButton(2, 0, 100);
  FreeMenuButtons(group);
  EXPECT_EQ(group.ButtonCount, 0);
  EXPECT_EQ(group.MenuButtons[1], nullptr);
  EXPECT_EQ(ui.sprites.Engine().SpriteCount(), before);
}

TEST(ScrollBackground, MovesBySpeedOncePerTickAndJumpsBack512PastTheBottom) {
  UiFixture ui({Item("Road", 64, 64, 1)});
  double speed = 0;
  auto* road = new ScrollingBackground(&ui.sprites.Engine(), ui.images.ItemByName("Road"), speed);
  EXPECT_EQ(road->Z(), 1);
  const struct {
    double startY, speed, endY;
  } cases[] = {{0, 0, 0}, {599, 5, 92}, {595, 5, 600}, {10, 7.5, 17.5}};
  for (const auto& c : cases) {
    road->Y = c.startY;
    speed = c.speed;
    ui.sprites.MoveSprites(3);  // the lag does not matter
    EXPECT_DOUBLE_EQ(road->Y, c.endY) << c.startY << " + " << c.speed;
  }
}

TEST(ScrollBackground, CoversTheWholeSurfaceAtAnyOffset) {
  UiFixture ui({Item("Road", 64, 64, 1)});
  double speed = 0;
  auto* road = new ScrollingBackground(&ui.sprites.Engine(), ui.images.ItemByName("Road"), speed);
  for (const double y : {0.0, 123.0, 599.0, -37.0}) {
    road->Y = y;
    road->X = 124;
    ui.surface().Fill(0xFFFF);
    ui.sprites.DrawSprites();
    for (int py = 0; py < 600; py += 37) {
      for (int px = 0; px < 800; px += 41) {
        ASSERT_NE(ui.surface().At(px, py), 0xFFFF) << "hole at " << px << "," << py << " y " << y;
      }
    }
  }
}

}  // namespace
}  // namespace rivoltra
