#pragma once
// Lettering painted into pictures (titles, labels, help text), from the packaged DejaVu fonts
// through FreeType. The game's own bitmap fonts are built in bitmap_fonts.*.
#include <cairo.h>

#include <string>
#include <vector>

#include "pictures/art.h"

namespace rivoltra::pictures {

enum class Face { Bold, Regular };

// The cairo face of a packaged font; loaded once, alive for the whole run.
cairo_font_face_t* FontFace(Face face);

enum class Align { Left, Centre, Right };

struct TextStyle {
  Face Weight = Face::Bold;
  double Size = 12;
  double StretchX = 1.0;  // below 1 condenses
  double Slant = 0.0;     // synthetic italic: x shift per pixel of height
  Rgb Fill{1, 1, 1};
  Rgb FillBottom{1, 1, 1};
  bool Gradient = false;  // vertical from Fill at the cap height to FillBottom at the baseline
  Rgb Outline{0, 0, 0};
  double OutlineWidth = 0;  // drawn outside the letters
  Rgb Shadow{0, 0, 0};
  double ShadowX = 0;
  double ShadowY = 0;
  // Small running text reads better with hinted glyphs than as filled outlines.
  bool Hinted = false;
};

// Selects the style's face and size on cr.
void SelectFont(cairo_t* cr, const TextStyle& style);
double TextWidth(cairo_t* cr, const std::string& text, const TextStyle& style);
// Height of a capital letter above the baseline.
double CapHeight(cairo_t* cr, const TextStyle& style);

// Draws one line; x is the left, centre or right end by align, y the baseline.
void DrawText(cairo_t* cr, const std::string& text, double x, double baseline,
              const TextStyle& style, Align align = Align::Left);

// Breaks text into lines no wider than width (words are never split).
std::vector<std::string> WrapText(cairo_t* cr, const std::string& text, double width,
                                  const TextStyle& style);

// Draws wrapped text from the baseline of its first line; returns the baseline after the
// last line.
double DrawParagraph(cairo_t* cr, const std::string& text, double x, double baseline, double width,
                     double lineHeight, const TextStyle& style, Align align = Align::Left);

}  // namespace rivoltra::pictures
