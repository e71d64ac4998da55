#include "ui/bitmap_text.h"

#include <gtest/gtest.h>

#include "ui_fixture.h"

namespace rivoltra {
namespace {

using testing::Item;
using testing::UiFixture;

constexpr int kGlyphs = BitmapText::kGlyphCount;

struct TextFixture : ::testing::Test {
  UiFixture Ui{{Item("Font_medium_inactive", 24, 20, kGlyphs), Item("Font_big", 40, 30, kGlyphs)}};
  BitmapText Text;
  void SetUp() override { Text.PrepareFontTables(); }
};

TEST_F(TextFixture, PenMovesByTheAdvanceTablesAndTruncatesAfterEveryGlyph) {
  struct Case {
    FontKind Font;
    const char* Text;
    int X;
    int EndX;
  };
  const Case cases[] = {
      // W22 I8 N15 D16 O17 W22
      {FontKind::Medium, "WINDOW", 265, 365},
      // The big font takes 0.05 of its 40-pixel cells off every glyph: L15 E17 V20 E17 L15,
      // the space trunc(0.2 x 40) = 8, then 3 at 16 - 2.
      {FontKind::Big, "LEVEL 3", 0, 106},
      // Characters outside the glyph set are skipped without moving the pen.
      {FontKind::Medium, "a/b", 10, 21},
  };
  for (const Case& c : cases) {
    if (c.Font == FontKind::Big) {
      Text.SelectBigFont();
    } else {
      Text.SelectMediumFont();
    }
    Text.WriteText(Ui.Surface(), Ui.Images.Items(), c.Text, c.X, 100);
    EXPECT_EQ(Text.TextEndX, c.EndX) << c.Text;
  }
}

TEST_F(TextFixture, EmptyTextDrawsNothingAndKeepsTheEnd) {
  Text.SelectMediumFont();
  Text.TextEndX = 77;
  Text.WriteText(Ui.Surface(), Ui.Images.Items(), "", 0, 0);
  EXPECT_EQ(Text.TextEndX, 77);
}

TEST_F(TextFixture, EachCharacterDrawsItsOwnGlyphPattern) {
  Text.SelectMediumFont();
  Ui.Surface().Fill(0);
  Text.WriteText(Ui.Surface(), Ui.Images.Items(), "0A", 100, 50);
  // "0" is pattern 1 (red 10), "A" is pattern 18 (red 95) drawn 13 pixels further on.
  EXPECT_EQ(Ui.Surface().At(100, 50), XrgbToRgb565(10u << 16));
  EXPECT_EQ(Ui.Surface().At(113, 50), XrgbToRgb565(95u << 16));
  EXPECT_EQ(Ui.Surface().At(100, 70), 0) << "glyphs are 20 pixels high";
}

TEST_F(TextFixture, PreparingTheTablesTwiceChangesNothing) {
  const int before = Text.Advance(FontKind::Big, 'W');
  Text.PrepareFontTables();
  EXPECT_EQ(Text.Advance(FontKind::Big, 'W'), before);
  EXPECT_EQ(before, 29);
}

TEST_F(TextFixture, MissingFontRaisesTheImageListError) {
  Text.SelectSmallFont();
  EXPECT_THROW(Text.WriteText(Ui.Surface(), Ui.Images.Items(), "1", 0, 0), ImageListError);
}

}  // namespace
}  // namespace rivoltra
