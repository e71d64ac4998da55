#include "ui/bitmap_text.h"

#include <cmath>

#include "engine/image_list.h"

namespace rivoltra {

namespace {

// Each glyph's last column, measured from the left edge of the whole font strip, with 24-pixel
// cells for the small and medium fonts and 40-pixel cells for the big font.
constexpr std::array<int, BitmapText::kGlyphCount> kMediumLastColumn = {
    10,  36,  58,  85,  108, 133, 157, 180, 205, 228, 252, 271, 294,  326, 350,
    374, 397, 421, 448, 471, 495, 519, 542, 565, 592, 614, 631, 660,  688, 709,
    738, 758, 784, 806, 833, 855, 878, 902, 927, 952, 981, 999, 1024, 1046};
constexpr std::array<int, BitmapText::kGlyphCount> kBigLastColumn = {
    10,   55,   92,   136,  175,  217,  256,  296,  336,  375,  415,  448,  487,  537,  577,
    617,  657,  697,  740,  779,  820,  859,  898,  937,  981,  1019, 1047, 1095, 1140, 1176,
    1222, 1258, 1301, 1338, 1382, 1420, 1457, 1498, 1539, 1581, 1628, 1659, 1700, 1738};
constexpr int kMediumCell = 24;
constexpr int kBigCell = 40;

bool IsGlyph(char c) { return c >= BitmapText::kFirstGlyph && c <= BitmapText::kLastGlyph; }

}  // namespace

void BitmapText::PrepareFontTables() {
  if (prepared_) return;
  for (int i = 0; i < kGlyphCount; ++i) {
    mediumAdvance_[static_cast<std::size_t>(i)] =
        kMediumLastColumn[static_cast<std::size_t>(i)] - i * kMediumCell + 1;
    bigAdvance_[static_cast<std::size_t>(i)] =
        kBigLastColumn[static_cast<std::size_t>(i)] - i * kBigCell + 1;
  }
  prepared_ = true;
}

void BitmapText::SelectSmallFont() { currentFont_ = {"Font_small", FontKind::Small}; }
void BitmapText::SelectMediumFont() { currentFont_ = {"Font_medium_inactive", FontKind::Medium}; }
void BitmapText::SelectMediumActiveFont() {
  currentFont_ = {"Font_medium_Active", FontKind::MediumActive};
}
void BitmapText::SelectBigFont() { currentFont_ = {"Font_big", FontKind::Big}; }

int BitmapText::Advance(FontKind kind, char glyph) const {
  if (!IsGlyph(glyph)) return 0;
  const auto index = static_cast<std::size_t>(glyph - kFirstGlyph);
  return kind == FontKind::Big ? bigAdvance_[index] : mediumAdvance_[index];
}

void BitmapText::WriteText(Surface& surface, const ImageCollection& images, std::string_view text,
                           int x, int y) {
  if (text.empty()) return;
  const ImageItem& font = images.ItemByName(currentFont_.ImageName);
  const double patternWidth = font.PatternWidth();
  int pen = x;
  for (const char c : text) {
    if (IsGlyph(c)) font.Draw(surface, pen, y, c - kFirstGlyph);
    pen = PenAfter(pen, c, patternWidth);
    TextEndX = pen;
  }
}

int BitmapText::TextWidth(const ImageCollection& images, std::string_view text) const {
  const double patternWidth = images.ItemByName(currentFont_.ImageName).PatternWidth();
  int pen = 0;
  for (const char c : text) pen = PenAfter(pen, c, patternWidth);
  return pen;
}

int BitmapText::PenAfter(int pen, char c, double patternWidth) const {
  if (c == ' ') return static_cast<int>(std::trunc(pen + 0.2 * patternWidth));
  if (!IsGlyph(c)) return pen;
  // The big font's glyphs sit closer together than its table says.
  const double extra = currentFont_.Kind == FontKind::Big ? -0.05 * patternWidth : 0.0;
  // The pen is truncated after every glyph, so widths never accumulate fractions.
  return static_cast<int>(std::trunc(pen + Advance(currentFont_.Kind, c) + extra));
}

}  // namespace rivoltra
