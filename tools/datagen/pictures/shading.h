#pragma once
// Shapes and finishes shared by all pictures. Light falls from the top left everywhere:
// upper and left edges catch it, lower and right edges fall into shade.
#include <cairo.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "pictures/art.h"

namespace rivoltra::pictures {

// The house palette: steel blues for the frame of the interface, amber for what is lit.
namespace palette {
inline constexpr Rgb kSteelDark = Hex(0x1B2230);
inline constexpr Rgb kSteel = Hex(0x4A5668);
inline constexpr Rgb kSteelLight = Hex(0x9AA8BC);
inline constexpr Rgb kChrome = Hex(0xDDE4EE);
inline constexpr Rgb kPanelBlue = Hex(0x1E2F4C);
inline constexpr Rgb kPanelBlueDeep = Hex(0x0E1628);
inline constexpr Rgb kAmber = Hex(0xFFB020);
inline constexpr Rgb kAmberLight = Hex(0xFFE9A0);
inline constexpr Rgb kAmberDeep = Hex(0xD05A00);
inline constexpr Rgb kSignalRed = Hex(0xD8241C);
inline constexpr Rgb kInk = Hex(0x0A0C12);
inline constexpr Rgb kTextLight = Hex(0xE8EEF6);
inline constexpr Rgb kTextDim = Hex(0x9FB0C8);
inline constexpr Rgb kCyan = Hex(0x7FE4FF);
}  // namespace palette

void RoundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);
// A closed smooth curve through the points.
void SmoothClosedPath(cairo_t* cr, const std::vector<std::pair<double, double>>& points);
// A closed blob: an ellipse whose radius wanders by up to `roughness` of itself, smoothly.
void BlobPath(cairo_t* cr, double cx, double cy, double rx, double ry, double roughness,
              std::uint32_t seed, int points = 14);

// A vertical gradient through three colours (top, middle, bottom) over y0..y1.
cairo_pattern_t* VerticalGradient(double y0, double y1, Rgb top, Rgb middle, Rgb bottom);

// A raised metal plate with a bevel: base colour, rounded corners and bevel width.
void MetalPlate(cairo_t* cr, double x, double y, double width, double height, double radius,
                Rgb base, double bevel);
// Fine horizontal brushing laid over whatever is inside the current clip.
void BrushStrokes(cairo_t* cr, double x, double y, double width, double height, std::uint32_t seed,
                  double strength);
// A recessed window (display, text field): dark inside, shade on top, light on the bottom.
void InsetWell(cairo_t* cr, double x, double y, double width, double height, double radius,
               Rgb inside);
// A slotted screw head.
void Screw(cairo_t* cr, double cx, double cy, double radius);
// A soft coloured glow behind a rectangle; for use inside opaque pictures only.
void Glow(cairo_t* cr, double x, double y, double width, double height, double radius, Rgb colour,
          double spread, double strength);
// A radial shine spot (highlights on glass, paint and tokens).
void Shine(cairo_t* cr, double cx, double cy, double radius, double strength);
// Diagonal hazard stripes inside the rectangle.
void HazardStripes(cairo_t* cr, double x, double y, double width, double height, double stripe,
                   Rgb a, Rgb b);

}  // namespace rivoltra::pictures
