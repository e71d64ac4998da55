#include "pictures/shading.h"

#include <algorithm>
#include <cmath>

#include "pictures/noise.h"

namespace rivoltra::pictures {

void RoundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius) {
  radius = std::min({radius, width / 2, height / 2});
  cairo_new_sub_path(cr);
  if (radius <= 0) {
    cairo_rectangle(cr, x, y, width, height);
    return;
  }
  cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

// A closed smooth curve through the points (Catmull-Rom as cubic Bezier pieces). Each
// handle is kept shorter than half its own segment, so a short segment next to a long one
// does not loop out past its corner.
void SmoothClosedPath(cairo_t* cr, const std::vector<std::pair<double, double>>& points) {
  const std::size_t n = points.size();
  auto at = [&](std::size_t i) { return points[i % n]; };
  auto handle = [](std::pair<double, double> from, std::pair<double, double> to, double limit) {
    double dx = (to.first - from.first) / 6;
    double dy = (to.second - from.second) / 6;
    const double length = std::hypot(dx, dy);
    if (length > limit && length > 0) {
      dx *= limit / length;
      dy *= limit / length;
    }
    return std::pair<double, double>{dx, dy};
  };
  cairo_new_sub_path(cr);
  cairo_move_to(cr, points[0].first, points[0].second);
  for (std::size_t i = 0; i < n; ++i) {
    const auto p0 = at(i + n - 1);
    const auto p1 = at(i);
    const auto p2 = at(i + 1);
    const auto p3 = at(i + 2);
    const double limit = std::hypot(p2.first - p1.first, p2.second - p1.second) / 2;
    const auto h1 = handle(p0, p2, limit);
    const auto h2 = handle(p1, p3, limit);
    cairo_curve_to(cr, p1.first + h1.first, p1.second + h1.second, p2.first - h2.first,
                   p2.second - h2.second, p2.first, p2.second);
  }
  cairo_close_path(cr);
}

void BlobPath(cairo_t* cr, double cx, double cy, double rx, double ry, double roughness,
              std::uint32_t seed, int points) {
  std::vector<std::pair<double, double>> outline;
  for (int i = 0; i < points; ++i) {
    const double angle = 2 * M_PI * i / points;
    // noise sampled around a circle, so the wobble closes on itself without a seam
    const double wobble = ValueNoise(std::cos(angle) * 3 + 10, std::sin(angle) * 3 + 10, 1.3, seed);
    const double radius = 1 - roughness + 2 * roughness * wobble;
    outline.emplace_back(cx + std::cos(angle) * rx * radius, cy + std::sin(angle) * ry * radius);
  }
  SmoothClosedPath(cr, outline);
}

cairo_pattern_t* VerticalGradient(double y0, double y1, Rgb top, Rgb middle, Rgb bottom) {
  cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
  AddStop(pattern, 0, top);
  AddStop(pattern, 0.5, middle);
  AddStop(pattern, 1, bottom);
  return pattern;
}

void MetalPlate(cairo_t* cr, double x, double y, double width, double height, double radius,
                Rgb base, double bevel) {
  cairo_save(cr);
  // dark rim first, so cut edges end in a clean line against whatever lies below
  RoundedRectPath(cr, x, y, width, height, radius);
  SetColour(cr, Shade(base, -0.75));
  cairo_fill(cr);

  RoundedRectPath(cr, x + 1, y + 1, width - 2, height - 2, radius - 1);
  cairo_pattern_t* bevelLight = cairo_pattern_create_linear(x, y, x + width, y + height);
  AddStop(bevelLight, 0, Shade(base, 0.55));
  AddStop(bevelLight, 0.5, base);
  AddStop(bevelLight, 1, Shade(base, -0.55));
  cairo_set_source(cr, bevelLight);
  cairo_fill(cr);
  cairo_pattern_destroy(bevelLight);

  const double inset = 1 + bevel;
  RoundedRectPath(cr, x + inset, y + inset, width - 2 * inset, height - 2 * inset,
                  std::max(0.0, radius - inset));
  cairo_pattern_t* face =
      VerticalGradient(y + inset, y + height - inset, Shade(base, 0.25), base, Shade(base, -0.2));
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_clip(cr);
  BrushStrokes(cr, x, y, width, height, std::uint32_t(width * 31 + height), 0.06);
  cairo_restore(cr);
}

void BrushStrokes(cairo_t* cr, double x, double y, double width, double height, std::uint32_t seed,
                  double strength) {
  Scatter scatter(seed);
  cairo_save(cr);
  cairo_set_line_width(cr, 1);
  const int strokes = int(width * height / 40);
  for (int i = 0; i < strokes; ++i) {
    const double sy = std::floor(y + scatter.Unit() * height) + 0.5;
    const double sx = x + scatter.Unit() * width;
    const double length = 6 + scatter.Unit() * width * 0.3;
    const bool light = scatter.Unit() < 0.5;
    cairo_set_source_rgba(cr, light ? 1 : 0, light ? 1 : 0, light ? 1 : 0,
                          strength * (0.4 + scatter.Unit() * 0.6));
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, sx + length, sy);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void InsetWell(cairo_t* cr, double x, double y, double width, double height, double radius,
               Rgb inside) {
  cairo_save(cr);
  RoundedRectPath(cr, x, y, width, height, radius);
  cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + height);
  AddStop(rim, 0, Hex(0x05070B));
  AddStop(rim, 1, Hex(0xC8D2E0));
  cairo_set_source(cr, rim);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);

  RoundedRectPath(cr, x + 1.5, y + 1.5, width - 3, height - 3, std::max(0.0, radius - 1.5));
  cairo_pattern_t* glass =
      VerticalGradient(y, y + height, Shade(inside, -0.45), inside, Shade(inside, 0.12));
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  // inner shadow under the top rim
  cairo_rectangle(cr, x + 1.5, y + 1.5, width - 3, 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Screw(cairo_t* cr, double cx, double cy, double radius) {
  cairo_save(cr);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  SetColour(cr, Hex(0x161A22));
  cairo_fill(cr);
  cairo_pattern_t* head =
      cairo_pattern_create_radial(cx - radius * 0.4, cy - radius * 0.4, 0, cx, cy, radius);
  AddStop(head, 0, Hex(0xF4F7FB));
  AddStop(head, 0.6, Hex(0x8C97A8));
  AddStop(head, 1, Hex(0x3A4250));
  cairo_arc(cr, cx, cy, radius - 0.8, 0, 2 * M_PI);
  cairo_set_source(cr, head);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  cairo_set_line_width(cr, std::max(1.0, radius * 0.35));
  SetColour(cr, Hex(0x262C36));
  cairo_move_to(cr, cx - radius * 0.6, cy + radius * 0.35);
  cairo_line_to(cr, cx + radius * 0.6, cy - radius * 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Glow(cairo_t* cr, double x, double y, double width, double height, double radius, Rgb colour,
          double spread, double strength) {
  cairo_save(cr);
  const int steps = std::max(1, int(spread));
  for (int i = steps; i >= 1; --i) {
    const double grow = spread * i / steps;
    RoundedRectPath(cr, x - grow, y - grow, width + 2 * grow, height + 2 * grow, radius + grow);
    const double fade = 1.0 - double(i) / (steps + 1);
    SetColour(cr, colour, strength * fade * fade / steps * 3);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void Shine(cairo_t* cr, double cx, double cy, double radius, double strength) {
  cairo_save(cr);
  cairo_pattern_t* spot = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
  cairo_pattern_add_color_stop_rgba(spot, 0, 1, 1, 1, strength);
  cairo_pattern_add_color_stop_rgba(spot, 1, 1, 1, 1, 0);
  cairo_set_source(cr, spot);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(spot);
  cairo_restore(cr);
}

void HazardStripes(cairo_t* cr, double x, double y, double width, double height, double stripe,
                   Rgb a, Rgb b) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, width, height);
  cairo_clip(cr);
  SetColour(cr, a);
  cairo_paint(cr);
  SetColour(cr, b);
  for (double s = x - height; s < x + width + height; s += 2 * stripe) {
    cairo_move_to(cr, s, y + height);
    cairo_line_to(cr, s + stripe, y + height);
    cairo_line_to(cr, s + stripe + height, y);
    cairo_line_to(cr, s + height, y);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace rivoltra::pictures
