// The text routine moves its pen by fixed advances per character; the fonts' pictures must
// end each glyph's ink exactly one column before that advance, or text runs into itself or
// gapes.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "generated_archives.h"

namespace rivoltra::datatest {
namespace {

// Advances of "/" .. "Z" (the small and both medium fonts share the first table).
constexpr std::array<int, 44> kMedium = {11, 13, 11, 14, 13, 14, 14, 13, 14, 13, 13, 8,  7,  15, 15,
                                         15, 14, 14, 17, 16, 16, 16, 15, 14, 17, 15, 8,  13, 17, 14,
                                         19, 15, 17, 15, 18, 16, 15, 15, 16, 17, 22, 16, 17, 15};
constexpr std::array<int, 44> kBig = {11, 16, 13, 17, 16, 18, 17, 17, 17, 16, 16, 9,  8,  18, 18,
                                      18, 18, 18, 21, 20, 21, 20, 19, 18, 22, 20, 8,  16, 21, 17,
                                      23, 19, 22, 19, 23, 21, 18, 19, 20, 22, 29, 20, 21, 19};

struct Font {
  const char* Name;
  int CellWidth;
  const std::array<int, 44>* Advances;
};

constexpr Font kFonts[] = {{"Font_small", 24, &kMedium},
                           {"Font_medium_inactive", 24, &kMedium},
                           {"Font_medium_Active", 24, &kMedium},
                           {"Font_big", 40, &kBig}};

// Last column of the cell holding a non-key pixel, counted from the cell's left edge; -1 for
// an empty cell.
int LastInkedColumn(const ImageItemData& font, int glyph) {
  const Rect cell = PatternLayoutOf(font).PatternBounds(glyph);
  for (int x = cell.Right - 1; x >= cell.Left; --x) {
    for (int y = cell.Top; y < cell.Bottom; ++y) {
      if (!IsKey(font, x, y)) return x - cell.Left;
    }
  }
  return -1;
}

TEST(FontAdvances, GlyphCellsAreTheTableCells) {
  for (const Font& font : kFonts) {
    SCOPED_TRACE(font.Name);
    const ImageItemData* item = Interface().Find(font.Name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->PatternWidth, font.CellWidth);
    EXPECT_EQ(item->Image.Width, font.CellWidth * 44);
    EXPECT_TRUE(item->Transparent);
  }
}

TEST(FontAdvances, LastInkedColumnOfEveryGlyphIsItsAdvanceMinusOne) {
  for (const Font& font : kFonts) {
    const ImageItemData* item = Interface().Find(font.Name);
    ASSERT_NE(item, nullptr) << font.Name;
    for (int glyph = 0; glyph < 44; ++glyph) {
      EXPECT_EQ(LastInkedColumn(*item, glyph), (*font.Advances)[std::size_t(glyph)] - 1)
          << font.Name << " '" << char(47 + glyph) << "'";
    }
  }
}

}  // namespace
}  // namespace rivoltra::datatest
