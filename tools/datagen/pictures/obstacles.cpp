#include "pictures/obstacles.h"

#include <cmath>

#include "pictures/noise.h"
#include "pictures/shading.h"

namespace rivoltra::pictures {

namespace {

// Things that stand up from the road cast a shadow this far to the lower right.
constexpr double kShadowX = 3;
constexpr double kShadowY = 3;
const Rgb kShadow = Hex(0x141418);

Bitmap BrickWall(int wallWidth, std::uint32_t seed) {
  constexpr int kCap = 9;     // the capstones seen from above
  constexpr int kFace = 21;   // the brick face turned towards the driver
  constexpr int kCourse = 5;  // one course of bricks plus its mortar joint
  constexpr int kBrick = 12;
  const int height = kCap + kFace;
  Canvas canvas(wallWidth + int(kShadowX), height + int(kShadowY));
  cairo_t* cr = canvas.Context();
  cairo_rectangle(cr, kShadowX, kShadowY + 2, wallWidth, height - 2);
  SetColour(cr, kShadow);
  cairo_fill(cr);

  // brick face: mortar first, then each brick with its own tone
  cairo_rectangle(cr, 0, kCap, wallWidth, kFace);
  SetColour(cr, Hex(0x6A6058));
  cairo_fill(cr);
  Scatter scatter(seed);
  for (int course = 0; course * kCourse < kFace; ++course) {
    const double y = kCap + course * kCourse + 1;
    const double offset = (course % 2) ? -kBrick / 2.0 : 0;
    for (double x = offset; x < wallWidth; x += kBrick) {
      const double left = std::max(0.0, x + 0.5);
      const double right = std::min(double(wallWidth), x + kBrick - 0.5);
      if (right - left < 1) continue;
      const Rgb tone = Shade(Hex(0xA8442A), scatter.Range(-0.25, 0.15));
      cairo_rectangle(cr, left, y, right - left, kCourse - 1);
      SetColour(cr, tone);
      cairo_fill(cr);
      cairo_rectangle(cr, left, y, right - left, 1);
      SetColour(cr, Shade(tone, 0.3));
      cairo_fill(cr);
      cairo_rectangle(cr, left, y + kCourse - 2, right - left, 1);
      SetColour(cr, Shade(tone, -0.3));
      cairo_fill(cr);
    }
  }
  // the face darkens towards the ground
  cairo_pattern_t* dusk = cairo_pattern_create_linear(0, kCap, 0, height);
  cairo_pattern_add_color_stop_rgba(dusk, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(dusk, 1, 0, 0, 0, 0.35);
  cairo_rectangle(cr, 0, kCap, wallWidth, kFace);
  cairo_set_source(cr, dusk);
  cairo_fill(cr);
  cairo_pattern_destroy(dusk);

  // capstones, lit from above
  for (double x = 0; x < wallWidth; x += 18) {
    const double right = std::min(double(wallWidth), x + 18);
    cairo_rectangle(cr, x, 0, right - x, kCap);
    cairo_pattern_t* cap = VerticalGradient(0, kCap, Hex(0xE8E0D0), Hex(0xBEB4A2), Hex(0x8A8070));
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    cairo_rectangle(cr, right - 1, 0, 1, kCap);
    SetColour(cr, Hex(0x6E665A));
    cairo_fill(cr);
  }
  cairo_rectangle(cr, 0, kCap - 1, wallWidth, 1.5);
  SetColour(cr, Hex(0x4A3A30));
  cairo_fill(cr);
  cairo_rectangle(cr, 0.5, 0.5, wallWidth - 1, height - 1);
  SetColour(cr, Hex(0x2A1A14));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return canvas.ToBitmap();
}

Bitmap SpikeStrip() {
  constexpr int kWidth = 104;
  constexpr int kHeight = 22;
  constexpr double kBandTop = 8;
  constexpr double kBand = 6;
  Canvas canvas(kWidth, kHeight);
  cairo_t* cr = canvas.Context();
  // spikes pointing both ways out of the band, alternating; drawn first so the band caps them
  for (int i = 0; i < 16; ++i) {
    const double x = 8 + i * 5.9;
    const bool up = i % 2 == 0;
    const double base = up ? kBandTop + 1 : kBandTop + kBand - 1;
    const double tip = up ? 0.5 : kHeight - 0.5;
    cairo_move_to(cr, x - 3.2, base);
    cairo_line_to(cr, x, tip);
    cairo_line_to(cr, x + 3.2, base);
    cairo_close_path(cr);
    cairo_pattern_t* steel = cairo_pattern_create_linear(x - 3, 0, x + 3, 0);
    AddStop(steel, 0, Hex(0xFFFFFF));
    AddStop(steel, 0.45, Hex(0xC4CCD6));
    AddStop(steel, 1, Hex(0x48505A));
    cairo_set_source(cr, steel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(steel);
    SetColour(cr, Hex(0x0E1014));
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
  }
  // the hinged band, painted in warning stripes
  HazardStripes(cr, 4, kBandTop, kWidth - 8, kBand, 4, Hex(0xFFC800), Hex(0x1A1A1A));
  cairo_rectangle(cr, 4, kBandTop, kWidth - 8, 1.5);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
  cairo_fill(cr);
  cairo_rectangle(cr, 4.5, kBandTop + 0.5, kWidth - 9, kBand - 1);
  SetColour(cr, Hex(0x0E1014));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // steel end blocks that hold the chain
  for (const double x : {0.0, double(kWidth - 7)}) {
    RoundedRectPath(cr, x + 0.5, kBandTop - 3.5, 6.5, kBand + 7, 1.5);
    cairo_pattern_t* block = VerticalGradient(kBandTop - 4, kBandTop + kBand + 4, Hex(0xD8DEE6),
                                              Hex(0x6A727C), Hex(0x2A2E34));
    cairo_set_source(cr, block);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(block);
    SetColour(cr, Hex(0x0E1014));
    cairo_stroke(cr);
  }
  return canvas.ToBitmap();
}

Bitmap Puddle(int width, int height, std::uint32_t seed) {
  Canvas canvas(width, height);
  cairo_t* cr = canvas.Context();
  const double cx = width / 2.0;
  const double cy = height / 2.0;
  const double rx = width / 2.0 - 1.5;
  const double ry = height / 2.0 - 1.5;
  // wet dark asphalt at the rim, then the water
  BlobPath(cr, cx, cy, rx, ry, 0.14, seed, 16);
  SetColour(cr, Hex(0x18283C));
  cairo_fill(cr);
  BlobPath(cr, cx, cy, rx - 2, ry - 2, 0.14, seed, 16);
  cairo_pattern_t* water =
      cairo_pattern_create_radial(cx - rx * 0.3, cy - ry * 0.35, 1, cx, cy, std::max(rx, ry));
  AddStop(water, 0, Hex(0x9ED4FF));
  AddStop(water, 0.35, Hex(0x3C86D8));
  AddStop(water, 0.8, Hex(0x1E4E9E));
  AddStop(water, 1, Hex(0x163A78));
  cairo_set_source(cr, water);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(water);
  cairo_clip(cr);
  // ripples
  cairo_set_line_width(cr, 1);
  for (int ring = 0; ring < 3; ++ring) {
    const double scale = 0.35 + ring * 0.22;
    EllipsePath(cr, cx + rx * 0.12, cy + ry * 0.1, rx * scale, ry * scale);
    cairo_set_source_rgba(cr, 0.85, 0.95, 1.0, 0.35 - ring * 0.08);
    cairo_stroke(cr);
  }
  // sky glints
  Scatter scatter(seed * 7 + 3);
  for (int i = 0; i < 4; ++i) {
    const double gx = cx + scatter.Range(-rx * 0.6, rx * 0.3);
    const double gy = cy + scatter.Range(-ry * 0.6, ry * 0.2);
    EllipsePath(cr, gx, gy, scatter.Range(2, 5), 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_fill(cr);
  }
  return canvas.ToBitmap();
}

void Boulder(cairo_t* cr, double cx, double cy, double rx, double ry, std::uint32_t seed) {
  cairo_save(cr);
  BlobPath(cr, cx + kShadowX, cy + kShadowY, rx, ry, 0.12, seed, 9);
  SetColour(cr, kShadow);
  cairo_fill(cr);
  BlobPath(cr, cx, cy, rx, ry, 0.12, seed, 9);
  cairo_pattern_t* rock = cairo_pattern_create_radial(cx - rx * 0.4, cy - ry * 0.45, 0.5, cx, cy,
                                                      std::max(rx, ry) * 1.1);
  AddStop(rock, 0, Hex(0xE2DCD0));
  AddStop(rock, 0.45, Hex(0x9C958A));
  AddStop(rock, 1, Hex(0x4A4640));
  cairo_set_source(cr, rock);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(rock);
  SetColour(cr, Hex(0x24221E));
  cairo_set_line_width(cr, 1);
  cairo_stroke_preserve(cr);
  cairo_clip(cr);
  // facets and speckles
  Scatter scatter(seed + 11);
  cairo_set_line_width(cr, 0.8);
  for (int i = 0; i < 3; ++i) {
    const double a = scatter.Range(0, 2 * M_PI);
    cairo_move_to(cr, cx + std::cos(a) * rx * 0.2, cy + std::sin(a) * ry * 0.2);
    cairo_line_to(cr, cx + std::cos(a) * rx * 0.9, cy + std::sin(a) * ry * 0.9);
    cairo_set_source_rgba(cr, 0.1, 0.09, 0.08, 0.45);
    cairo_stroke(cr);
  }
  for (int i = 0; i < int(rx * ry / 6); ++i) {
    cairo_rectangle(cr, cx + scatter.Range(-rx, rx), cy + scatter.Range(-ry, ry), 1, 1);
    const bool light = scatter.Unit() < 0.5;
    cairo_set_source_rgba(cr, light, light, light, 0.25);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

Bitmap Stones(bool small) {
  if (!small) {
    Canvas canvas(50, 42);
    Boulder(canvas.Context(), 23, 19, 21, 17, 5);
    return canvas.ToBitmap();
  }
  Canvas canvas(46, 36);
  cairo_t* cr = canvas.Context();
  Boulder(cr, 12, 22, 9, 7, 21);
  Boulder(cr, 30, 12, 10, 8, 22);
  Boulder(cr, 33, 27, 7, 5.5, 23);
  Boulder(cr, 15, 8, 5, 4, 24);
  return canvas.ToBitmap();
}

Bitmap CrackInRoad() {
  constexpr int kWidth = 100;
  constexpr int kHeight = 36;
  Canvas canvas(kWidth, kHeight);
  cairo_t* cr = canvas.Context();
  Scatter scatter(77);
  struct Point {
    double X, Y;
  };
  std::vector<Point> main;
  for (double x = 1; x <= kWidth - 1; x += 6) {
    main.push_back({x, kHeight / 2.0 + scatter.Range(-6, 6)});
  }
  auto stroke = [&](const std::vector<Point>& line, double width, Rgb colour, double dy) {
    cairo_move_to(cr, line.front().X, line.front().Y + dy);
    for (const Point& p : line) cairo_line_to(cr, p.X, p.Y + dy);
    cairo_set_line_width(cr, width);
    SetColour(cr, colour);
    cairo_stroke(cr);
  };
  std::vector<std::vector<Point>> branches;
  for (std::size_t i = 2; i + 2 < main.size(); i += 3) {
    std::vector<Point> branch{main[i]};
    const double direction = scatter.Unit() < 0.5 ? -1 : 1;
    for (int step = 0; step < 3; ++step) {
      const Point last = branch.back();
      branch.push_back({last.X + scatter.Range(2, 6), last.Y + direction * scatter.Range(3, 5)});
    }
    branches.push_back(branch);
  }
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // broken edge catching the light below the split, then the split itself
  stroke(main, 5, Hex(0x8A8A88), 1.2);
  for (const auto& branch : branches) stroke(branch, 3, Hex(0x7A7A78), 1);
  stroke(main, 4, Hex(0x1A1A1C), 0);
  for (const auto& branch : branches) stroke(branch, 2, Hex(0x222224), 0);
  stroke(main, 1.5, Hex(0x050506), 0);
  // loose chips of asphalt beside it
  for (int i = 0; i < 8; ++i) {
    const double x = scatter.Range(6, kWidth - 8);
    const double y =
        scatter.Unit() < 0.5 ? scatter.Range(3, 9) : scatter.Range(kHeight - 9, kHeight - 3);
    cairo_rectangle(cr, x, y, 2, 2);
    SetColour(cr, Hex(0x2A2A2C));
    cairo_fill(cr);
    cairo_rectangle(cr, x, y, 1, 1);
    SetColour(cr, Hex(0x9A9A98));
    cairo_fill(cr);
  }
  return canvas.ToBitmap();
}

// A rabbit seen from above and behind, sitting on the road; the frames twitch its ears.
void Rabbit(cairo_t* cr, int frame) {
  static const double kEarTilt[4][2] = {{0, 0}, {-0.35, 0}, {-0.25, 0.25}, {0, 0.35}};
  const double cx = 13;
  EllipsePath(cr, cx + 2.5, 24, 9, 10);
  SetColour(cr, kShadow);
  cairo_fill(cr);
  const Rgb fur = Hex(0x9C7A58);
  auto furFill = [&](double x, double y, double r) {
    cairo_pattern_t* shade =
        cairo_pattern_create_radial(x - r * 0.4, y - r * 0.4, 0.5, x, y, r * 1.2);
    AddStop(shade, 0, Shade(fur, 0.45));
    AddStop(shade, 0.6, fur);
    AddStop(shade, 1, Shade(fur, -0.45));
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetColour(cr, Hex(0x2E2014));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  };
  // ears behind the head
  for (int side = 0; side < 2; ++side) {
    const double sign = side == 0 ? -1 : 1;
    cairo_save(cr);
    cairo_translate(cr, cx + sign * 2.5, 9);
    cairo_rotate(cr, sign * 0.18 + kEarTilt[frame][side]);
    EllipsePath(cr, 0, -5, 2.4, 6);
    furFill(0, -5, 6);
    EllipsePath(cr, 0, -5, 1.1, 4.2);
    SetColour(cr, Hex(0xE8A8A0));
    cairo_fill(cr);
    cairo_restore(cr);
  }
  EllipsePath(cr, cx, 22, 8.5, 9.5);
  furFill(cx, 22, 9.5);
  EllipsePath(cr, cx, 11, 5.5, 5);
  furFill(cx, 11, 5.5);
  // cotton tail
  cairo_arc(cr, cx, 30, 3.2, 0, 2 * M_PI);
  SetColour(cr, Hex(0xF4F2EE));
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x6A6660));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

Bitmap RabbitFrames() {
  return FrameStrip(28, 36, 4, [](cairo_t* cr, int frame) { Rabbit(cr, frame); });
}

}  // namespace

Bitmap ObstacleBitmap(Obstacle obstacle) {
  switch (obstacle) {
    case Obstacle::Wall05:
      return BrickWall(54, 1);
    case Obstacle::Wall10:
      return BrickWall(104, 2);
    case Obstacle::Spike10:
      return SpikeStrip();
    case Obstacle::Water05:
      return Puddle(56, 40, 3);
    case Obstacle::Water10:
      return Puddle(104, 50, 4);
    case Obstacle::Stone05:
      return Stones(false);
    case Obstacle::StoneSmall05:
      return Stones(true);
    case Obstacle::Crack:
      return CrackInRoad();
    case Obstacle::Rabbit:
      return RabbitFrames().Crop(0, 0, 28, 36);
  }
  return Bitmap{};
}

std::vector<ImageItemData> ObstacleItems() {
  return {
      KeyedItem("Wall05", ObstacleBitmap(Obstacle::Wall05)),
      KeyedItem("Wall10", ObstacleBitmap(Obstacle::Wall10)),
      KeyedItem("Spike10", ObstacleBitmap(Obstacle::Spike10)),
      KeyedItem("Water05", ObstacleBitmap(Obstacle::Water05)),
      KeyedItem("Water10", ObstacleBitmap(Obstacle::Water10)),
      KeyedItem("Stone05", ObstacleBitmap(Obstacle::Stone05)),
      KeyedItem("StoneSmall05", ObstacleBitmap(Obstacle::StoneSmall05)),
      KeyedItem("Crack", ObstacleBitmap(Obstacle::Crack)),
      KeyedItem("Rabbit", RabbitFrames(), 28, 36),
  };
}

}  // namespace rivoltra::pictures
