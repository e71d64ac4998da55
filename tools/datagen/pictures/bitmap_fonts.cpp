#include "pictures/bitmap_fonts.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "pictures/art.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"

namespace rivoltra::pictures {

// clang-format off
const std::array<int, kGlyphCount> kMediumAdvances = {
//   /   0   1   2   3   4   5   6   7   8   9   :   ;   <   =   >   ?   @
    11, 13, 11, 14, 13, 14, 14, 13, 14, 13, 13,  8,  7, 15, 15, 15, 14, 14,
//   A   B   C   D   E   F   G   H   I   J   K   L   M   N   O   P   Q   R   S   T   U   V   W
    17, 16, 16, 16, 15, 14, 17, 15,  8, 13, 17, 14, 19, 15, 17, 15, 18, 16, 15, 15, 16, 17, 22,
//   X   Y   Z
    16, 17, 15};
const std::array<int, kGlyphCount> kBigAdvances = {
    11, 16, 13, 17, 16, 18, 17, 17, 17, 16, 16,  9,  8, 18, 18, 18, 18, 18,
    21, 20, 21, 20, 19, 18, 22, 20,  8, 16, 21, 17, 23, 19, 22, 19, 23, 21, 18, 19, 20, 22, 29,
    20, 21, 19};
// clang-format on

namespace {

struct FontLook {
  const char* Name;
  int CellWidth;
  int CellHeight;
  double CapHeight;
  double Baseline;
  int LeftLimit;  // first column a glyph's ink may use
  Rgb FillTop;
  Rgb FillMiddle;
  Rgb FillBottom;
  Rgb Outline;
  Rgb Shadow;
  double ShadowX;
  double ShadowY;
  const std::array<int, kGlyphCount>* Advances;
};

// Glyphs are drawn from the font's outlines with a one-pixel outline and a drop shadow; the
// shadow and outline count as ink, so the fitting below measures the finished glyph.
Bitmap DrawGlyph(char character, const FontLook& look, double stretch, double size) {
  const int pad = look.CellWidth;
  Canvas canvas(look.CellWidth * 3, look.CellHeight);
  cairo_t* cr = canvas.Context();
  TextStyle style;
  style.Size = size;
  style.StretchX = stretch;
  const std::string text(1, character);
  SelectFont(cr, style);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  auto path = [&](double dx, double dy, bool fresh = true) {
    if (fresh) cairo_new_path(cr);
    cairo_move_to(cr, pad + dx, look.Baseline + dy);
    cairo_text_path(cr, text.c_str());
  };
  path(look.ShadowX, look.ShadowY);
  SetColour(cr, look.Shadow);
  cairo_set_line_width(cr, 2);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);

  path(0, 0);
  SetColour(cr, look.Outline);
  cairo_stroke_preserve(cr);
  const double top = look.Baseline - look.CapHeight;
  cairo_pattern_t* fill =
      VerticalGradient(top, look.Baseline, look.FillTop, look.FillMiddle, look.FillBottom);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);

  // a lit rim along the upper edges: inside the letter but outside its copy moved down
  path(0, 0);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, canvas.Width(), top + look.CapHeight * 0.55);
  cairo_clip(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, canvas.Width(), look.CellHeight);
  path(0, 1.2, false);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_fill(cr);
  return canvas.ToBitmap();
}

struct InkSpan {
  int First = -1;
  int Last = -1;
  int Width() const { return First < 0 ? 0 : Last - First + 1; }
};

InkSpan InkColumns(const Bitmap& bitmap) {
  InkSpan span;
  for (int x = 0; x < bitmap.Width; ++x) {
    for (int y = 0; y < bitmap.Height; ++y) {
      if (!bitmap.Opaque(x, y)) continue;
      if (span.First < 0) span.First = x;
      span.Last = x;
      break;
    }
  }
  return span;
}

// Scales the glyph horizontally until its ink fills the room between the left limit and its
// advance, then moves it so its last inked column is exactly advance - 1. The ink width
// grows in whole pixels, so the widest scale that still fits is searched by halving.
Bitmap FitGlyph(char character, const FontLook& look, int advance, double size) {
  const int room = advance - look.LeftLimit;
  constexpr double kNarrowest = 0.3;
  constexpr double kWidest = 1.6;  // beyond this a glyph would look bloated: it sits right
  double low = kNarrowest;
  double high = kWidest;
  Bitmap glyph = DrawGlyph(character, look, low, size);
  InkSpan ink = InkColumns(glyph);
  if (ink.Width() == 0 || ink.Width() > room) {
    throw std::logic_error(std::string("glyph '") + character + "' does not fit " + look.Name);
  }
  for (int step = 0; step < 16; ++step) {
    const double middle = (low + high) / 2;
    Bitmap candidate = DrawGlyph(character, look, middle, size);
    const InkSpan candidateInk = InkColumns(candidate);
    if (candidateInk.Width() <= room) {
      low = middle;
      glyph = std::move(candidate);
      ink = candidateInk;
      if (ink.Width() == room) break;
    } else {
      high = middle;
    }
  }
  Bitmap cell(look.CellWidth, look.CellHeight);
  const int shift = (advance - 1) - ink.Last;
  cell.Blit(glyph, shift, 0);
  if (InkColumns(cell).Last != advance - 1) {
    throw std::logic_error(std::string("glyph '") + character + "' lost its ink in " + look.Name);
  }
  return cell;
}

ImageItemData BuildFont(const FontLook& look) {
  // DejaVu Sans Bold's capital height is 0.729 of its size; measure rather than trust it
  Canvas probe(8, 8);
  TextStyle unit;
  unit.Size = 100;
  const double size = look.CapHeight * 100 / CapHeight(probe.Context(), unit);

  Bitmap strip(look.CellWidth * kGlyphCount, look.CellHeight);
  for (int i = 0; i < kGlyphCount; ++i) {
    const char character = char(kFirstGlyphCode + i);
    strip.Blit(FitGlyph(character, look, (*look.Advances)[std::size_t(i)], size),
               i * look.CellWidth, 0);
  }
  return KeyedItem(look.Name, strip, look.CellWidth, look.CellHeight);
}

}  // namespace

std::vector<ImageItemData> BitmapFontItems() {
  // small: cool white for the heads-up numbers on their dark display windows
  const FontLook small{.Name = "Font_small",
                       .CellWidth = kMediumCellWidth,
                       .CellHeight = 20,
                       .CapHeight = 12,
                       .Baseline = 15,
                       .LeftLimit = 0,
                       .FillTop = Hex(0xFFFFFF),
                       .FillMiddle = Hex(0xDDF6FF),
                       .FillBottom = Hex(0x6FC8FF),
                       .Outline = Hex(0x04101C),
                       .Shadow = Hex(0x000000),
                       .ShadowX = 1,
                       .ShadowY = 1,
                       .Advances = &kMediumAdvances};
  // medium, normal: brushed silver; its baseline matches the big font's, as both share lines
  const FontLook mediumNormal{.Name = "Font_medium_inactive",
                              .CellWidth = kMediumCellWidth,
                              .CellHeight = 28,
                              .CapHeight = 14,
                              .Baseline = 22,
                              .LeftLimit = 0,
                              .FillTop = Hex(0xFFFFFF),
                              .FillMiddle = Hex(0xC4CCD8),
                              .FillBottom = Hex(0x6E788A),
                              .Outline = Hex(0x141820),
                              .Shadow = Hex(0x000000),
                              .ShadowX = 1,
                              .ShadowY = 1,
                              .Advances = &kMediumAdvances};
  // medium, highlighted: glowing amber with a hot orange rim
  FontLook mediumActive = mediumNormal;
  mediumActive.Name = "Font_medium_Active";
  mediumActive.FillTop = Hex(0xFFFFF0);
  mediumActive.FillMiddle = Hex(0xFFD040);
  mediumActive.FillBottom = Hex(0xFF7A00);
  mediumActive.Outline = Hex(0xC82800);
  mediumActive.Shadow = Hex(0x2A0800);
  // big: gold to fire, for titles and banners; its pen runs two pixels short of the table,
  // so one column of each shadow may lie under the next glyph's outline
  const FontLook big{.Name = "Font_big",
                     .CellWidth = kBigCellWidth,
                     .CellHeight = 32,
                     .CapHeight = 18,
                     .Baseline = 22,
                     .LeftLimit = 1,
                     .FillTop = Hex(0xFFFBE0),
                     .FillMiddle = Hex(0xFFC83A),
                     .FillBottom = Hex(0xE85A08),
                     .Outline = Hex(0x2A0A00),
                     .Shadow = Hex(0x000000),
                     .ShadowX = 1,
                     .ShadowY = 2,
                     .Advances = &kBigAdvances};
  return {BuildFont(small), BuildFont(mediumNormal), BuildFont(mediumActive), BuildFont(big)};
}

}  // namespace rivoltra::pictures
