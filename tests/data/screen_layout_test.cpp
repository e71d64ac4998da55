// The pictures' sizes against the positions the game draws them at: every screen must compose
// without overlaps, gaps or pieces hanging off where they do not belong.
#include "ui/screen_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "generated_archives.h"

namespace rivoltra::datatest {
namespace {

using namespace rivoltra::layout;

constexpr int kNarrowestLane = 109;

struct Size {
  int Width = 0;
  int Height = 0;
};

// Pattern size of an item; a missing item fails the calling test.
Size SizeOf(const Archive& archive, const std::string& name) {
  const ImageItemData* item = archive.Find(name);
  EXPECT_NE(item, nullptr) << name << " missing";
  if (item == nullptr) return {};
  const PatternLayout layout = PatternLayoutOf(*item);
  return {layout.Width(), layout.Height()};
}

TEST(RaceLayout, CarsFitInsideALaneWithRoomOnBothSides) {
  std::vector<std::string> cars;
  for (int car = 1; car <= 10; ++car) cars.push_back("Car" + std::to_string(car));
  for (int car = 5; car <= 10; ++car) cars.push_back("Car" + std::to_string(car) + "_Inv");
  for (const std::string& car : cars) {
    const int width = SizeOf(Race(), car).Width;
    EXPECT_LE(width + 2 * 12, kNarrowestLane) << car;
    EXPECT_GE(width, 40) << car;
  }
}

TEST(RaceLayout, ObstaclesAreHalfOrWholeLanes) {
  for (const char* half : {"Wall05", "Water05", "Stone05", "StoneSmall05"}) {
    const int width = SizeOf(Race(), half).Width;
    EXPECT_GE(width, kNarrowestLane * 3 / 10) << half;
    EXPECT_LE(width, kNarrowestLane * 6 / 10) << half;
  }
  for (const char* whole : {"Wall10", "Spike10", "Water10"}) {
    const int width = SizeOf(Race(), whole).Width;
    EXPECT_GE(width, kNarrowestLane * 8 / 10) << whole;
    EXPECT_LE(width, kNarrowestLane) << whole;
  }
}

TEST(RaceLayout, RoadsideThingsStandBetweenPanelsAndRoad) {
  const int rightPanelX = kRightPanelX;
  EXPECT_EQ(SizeOf(Race(), "RightPanel").Width, kRightPanelWidth);
  for (const char* left : {"SignLeftBlue", "SignLeftRed", "WallLeft"}) {
    EXPECT_LE(kLeftSignX + SizeOf(Race(), left).Width, kLaneEdge[0]) << left;
  }
  for (const char* right : {"SignRightBlue", "SignRightRed", "WallRight"}) {
    EXPECT_LE(kRightSignX + SizeOf(Race(), right).Width, rightPanelX) << right;
  }
  EXPECT_GE(SizeOf(Race(), "LeftPanel").Width, kGroundX);  // hides the ground's wrap-around
  EXPECT_LE(SizeOf(Race(), "LeftPanel").Width, 140);
}

TEST(RaceLayout, FinishLineSpansTheRoad) {
  EXPECT_EQ(SizeOf(Race(), "FinishLine").Width, kLaneEdge[4] - kLaneEdge[1]);
}

TEST(RaceLayout, GroundRepeatsSeamlesslyAndCoversTheRoadToTheRightPanel) {
  const Size ground = SizeOf(Race(), "GroundLeft");
  ASSERT_GT(ground.Height, 0);
  EXPECT_EQ(kGroundHeight % ground.Height, 0);
  EXPECT_GE(kGroundX + ground.Width, kRightPanelX);
}

TEST(RaceLayout, PanelsFillTheScreenHeightAndHoldTheirInstruments) {
  const Size left = SizeOf(Race(), "LeftPanel");
  const Size right = SizeOf(Race(), "RightPanel");
  EXPECT_EQ(left.Height, 600);
  EXPECT_EQ(right.Height, 600);
  const int rightX = kRightPanelX;
  EXPECT_EQ(right.Width, kRightPanelWidth);
  // numbers from x 25 (five digits) to 103 (the clock's last digit)
  EXPECT_GE(left.Width, 110);
  // progress marker, bonus indicators, seconds and speedometer all lie on the right panel
  EXPECT_GE(kProgressX - SizeOf(Race(), "CarSmall").Width / 2, rightX);
  EXPECT_GE(689, rightX);
  EXPECT_GE(kDialX - 46, rightX);
}

TEST(RaceLayout, NeedlePivotFallsOnWholePixels) {
  const Size needle = SizeOf(Race(), "Pointer");
  EXPECT_DOUBLE_EQ(needle.Width * kPointerPivotX, 4.0);
  EXPECT_DOUBLE_EQ(needle.Height * kPointerPivotY, 20.0);
}

TEST(RaceLayout, BonusIndicatorsStayLeftOfTheirSeconds) {
  EXPECT_LT(692 + SizeOf(Race(), "None").Width, kBonusSecondsX);
  EXPECT_LT(689 + SizeOf(Race(), "Drifting").Width, kBonusSecondsX);
  for (const char* centred : {"GunSmall", "TurboSmall"}) {
    EXPECT_LT(kBonusCentreX + SizeOf(Race(), centred).Width / 2, kBonusSecondsX) << centred;
  }
}

TEST(RaceLayout, BonusFlamesLineUpWithTheirMounts) {
  // the gun's fire is placed 5 px left of the gun, the turbo's flame 2 px right of the booster
  const int gun = SizeOf(Race(), "Gun").Width;
  EXPECT_EQ(SizeOf(Race(), "GunFire").Width, gun + 10);
  for (const char* booster : {"TurboRed", "TurboBlue", "TurboYellow"}) {
    EXPECT_EQ(SizeOf(Race(), "TurboFire").Width, SizeOf(Race(), booster).Width - 4) << booster;
  }
}

TEST(MenuLayout, PanelsSlideToRestFlushWithTheScreenEdges) {
  // the top panel moves 3 px a tick from minus its height, the bottom one 2 px from 600
  const Size up = SizeOf(Interface(), "UpPanel");
  const Size down = SizeOf(Interface(), "DownPanel");
  EXPECT_EQ(up.Height, kUpPanelHeight);
  EXPECT_EQ(down.Height, kDownPanelHeight);
  EXPECT_EQ(up.Height % 3, 0);
  EXPECT_EQ(down.Height % 2, 0);
  EXPECT_LE(up.Height, kMenuButtonY[0]);  // clear of the first button
  EXPECT_GE(600 - down.Height,
            kMenuButtonY.back() + SizeOf(Interface(), "MainMenu_ExitInactive").Height);
}

TEST(MenuLayout, MainMenuButtonsFitTheColumnWithoutOverlapping) {
  for (const char* name : {"MainMenuButtons_Inactive", "MainMenuButtons_Active",
                           "MainMenu_ExitInactive", "MainMenu_ExitActive"}) {
    const Size button = SizeOf(Interface(), name);
    EXPECT_LE(kMenuButtonX + button.Width, 800) << name;
    EXPECT_GE(kMenuButtonX + button.Width, 795) << name;  // reaches the right edge
    for (std::size_t i = 0; i + 1 < kMenuButtonY.size(); ++i)
      EXPECT_LT(kMenuButtonY[i] + button.Height, kMenuButtonY[i + 1]) << name;
  }
}

TEST(MenuLayout, SubScreenPanelsAndCaptionsStayClearOfTheButtons) {
  const int downTop = 600 - SizeOf(Interface(), "DownPanel").Height;
  for (const char* panel : {"OptionsBackground", "HighScoresBackground", "StartGameBackground",
                            "DailyRunBackground", "Help1", "Help2", "Help3", "Help4"}) {
    const Size size = SizeOf(Interface(), panel);
    EXPECT_LT(kSubPanelX + size.Width, kMenuButtonX) << panel;
    EXPECT_LE(kSubPanelY + size.Height, downTop) << panel;
  }
  for (const char* caption : {"NullCaption", "StartCaption", "OptionsCaption", "HighScoresCaption",
                              "HelpCaption", "VisitWWWCaption", "ExitCaption", "DailyRunCaption"}) {
    const Size size = SizeOf(Interface(), caption);
    EXPECT_LT(kCaptionX + size.Width, kMenuButtonX) << caption;
    EXPECT_LE(kCaptionY + size.Height, downTop) << caption;
  }
}

// A row of buttons at fixed positions: each ends before the next begins and all lie on the
// panel behind them.
template <std::size_t N>
std::vector<int> Vector(const std::array<int, N>& values) {
  return {values.begin(), values.end()};
}

struct ButtonRow {
  const char* Name;
  std::vector<int> Positions;  // x, or y for a column
  int Other;                   // the fixed y, or x for a column
  bool Column;
  const char* Panel;
  int PanelX;
  int PanelY;
};

TEST(MenuLayout, SubScreenButtonsLieOnTheirPanelsWithoutOverlapping) {
  const ButtonRow rows[] = {
      {"OptionButton_Active", Vector(kOptionButtonY), kOptionButtonX, true, "OptionsBackground",
       kSubPanelX, kSubPanelY},
      {"ClearHighScores",
       {kHighScoreButtonX[0]},
       kHighScoreButtonY,
       false,
       "HighScoresBackground",
       kSubPanelX,
       kSubPanelY},
      {"ViewHighScores",
       {kHighScoreButtonX[1]},
       kHighScoreButtonY,
       false,
       "HighScoresBackground",
       kSubPanelX,
       kSubPanelY},
      {"Previous", {kHelpButtonX[0]}, kHelpButtonY, false, "Help1", kSubPanelX, kSubPanelY},
      {"Next", {kHelpButtonX[1]}, kHelpButtonY, false, "Help1", kSubPanelX, kSubPanelY},
      {"Car1", Vector(kCarButtonX), kCarButtonY, false, "StartGameBackground", kSubPanelX,
       kSubPanelY},
      {"Car4_Active",
       {kCarButtonX[3]},
       kCarButtonY,
       false,
       "StartGameBackground",
       kSubPanelX,
       kSubPanelY},
      {"DailyStartButton",
       {kDailyButtonX},
       kDailyButtonY,
       false,
       "DailyRunBackground",
       kSubPanelX,
       kSubPanelY},
      {"Car1", {kDailyCarX}, kDailyCarY, false, "DailyRunBackground", kSubPanelX, kSubPanelY},
      {"OkButton2", {kSendButtonX[0]}, kSendButtonY, false, "SendResults", kDialogX, kDialogY},
      {"CancelButton2", {kSendButtonX[1]}, kSendButtonY, false, "SendResults", kDialogX, kDialogY},
  };
  for (const ButtonRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const Size button = SizeOf(Interface(), row.Name);
    const Size panel = SizeOf(Interface(), row.Panel);
    for (std::size_t i = 0; i < row.Positions.size(); ++i) {
      const int x = row.Column ? row.Other : row.Positions[i];
      const int y = row.Column ? row.Positions[i] : row.Other;
      EXPECT_GE(x, row.PanelX);
      EXPECT_GE(y, row.PanelY);
      EXPECT_LE(x + button.Width, row.PanelX + panel.Width);
      EXPECT_LE(y + button.Height, row.PanelY + panel.Height);
      if (i + 1 < row.Positions.size()) {
        EXPECT_LT(row.Positions[i] + (row.Column ? button.Height : button.Width),
                  row.Positions[i + 1]);
      }
    }
  }
  // the pairs side by side
  EXPECT_LT(kHighScoreButtonX[0] + SizeOf(Interface(), "ClearHighScores").Width,
            kHighScoreButtonX[1]);
  EXPECT_LT(kHelpButtonX[0] + SizeOf(Interface(), "Previous").Width, kHelpButtonX[1]);
  EXPECT_LT(kSendButtonX[0] + SizeOf(Interface(), "OkButton2").Width, kSendButtonX[1]);
}

TEST(MenuLayout, NameEntryTitleFramesTheTypedName) {
  // the name is written in the big font and may run until kNameRightEdge
  const Size title = SizeOf(Interface(), "EnterYourName");
  EXPECT_LE(kDialogX + title.Width, 800);
  EXPECT_GE(kDialogX + title.Width, kNameRightEdge + SizeOf(Interface(), "Cursor").Width);
  EXPECT_GE(kDialogY + title.Height, kNameCursorY + SizeOf(Interface(), "Cursor").Height);
}

}  // namespace
}  // namespace rivoltra::datatest
