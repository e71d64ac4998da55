#include "ui/bitmap_text.h"

#include <gtest/gtest.h>

#include "ui_fixture.h"

namespace rivoltra {
namespace {

using testing::Item;
using testing::UiFixture;

constexpr int kGlyphs = BitmapText::kGlyphCount;

struct TextFixture : ::testing::Test {
  UiFixture ui{{Item("Font_medium_inactive", 24, 20, kGlyphs), Item("Font_big", 40, 30, kGlyphs)}};
  BitmapText text;
  void SetUp() override { text.PrepareFontTables(); }
};

TEST_F(TextFixture, PenMovesByTheAdvanceTablesAndTruncatesAfterEveryGlyph) {
  struct Case {
    FontKind font;
    const char* text;
    int x;
    int endX;
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
    if (c.font == FontKind::Big) {
      text.SelectBigFont();
    } else {
      text.SelectMediumFont();
    }
    text.WriteText(ui.surface(), ui.images.Items(), c.text, c.x, 100);
    EXPECT_EQ(text.TextEndX, c.endX) << c.text;
  }
}

TEST_F(TextFixture, EmptyTextDrawsNothingAndKeepsTheEnd) {
  text.SelectMediumFont();
  text.TextEndX = 77;
  text.WriteText(ui.surface(), ui.images.Items(), "", 0, 0);
  EXPECT_EQ(text.TextEndX, 77);
}

TEST_F(TextFixture, EachCharacterDrawsItsOwnGlyphPattern) {
  text.SelectMediumFont();
  ui.surface().Fill(0);
  text.WriteText(ui.surface(), ui.images.Items(), "0A", 100, 50);
  // "0" is pattern 1 (red 10), "A" is pattern 18 (red 95) drawn 13 pixels further on.
  EXPECT_EQ(ui.surface().At(100, 50), XrgbToRgb565(10u << 16));
  EXPECT_EQ(ui.surface().At(113, 50), XrgbToRgb565(95u << 16));
  EXPECT_EQ(ui.surface().At(100, 70), 0) << "glyphs are 20 pixels high";
}

TEST_F(TextFixture, PreparingTheTablesTwiceChangesNothing) {
  const int before = text.Advance(FontKind::Big, 'W');
  text.PrepareFontTables();
  EXPECT_EQ(text.Advance(FontKind::Big, 'W'), before);
  EXPECT_EQ(before, 29);
}

TEST_F(TextFixture, MissingFontRaisesTheImageListError) {
  text.SelectSmallFont();
  EXPECT_THROW(text.WriteText(ui.surface(), ui.images.Items(), "1", 0, 0), ImageListError);
}

}  // namespace
}  // namespace rivoltra
