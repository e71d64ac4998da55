#include "pictures/roadside.h"

#include <algorithm>
#include <cmath>

#include "pictures/noise.h"
#include "pictures/shading.h"
#include "ui/screen_layout.h"

namespace rivoltra::pictures {

namespace {

using layout::kGroundHeight;
using layout::kGroundWidth;
using layout::kGroundX;
using layout::kLaneEdge;

// Positions on the ground picture, which the race draws from screen x 124.
constexpr int Local(int screenX) { return screenX - kGroundX; }
constexpr int kDirtLeft = Local(kLaneEdge[0]);
constexpr int kRoadLeft = Local(kLaneEdge[1]);
constexpr int kRoadRight = Local(kLaneEdge[4]);
constexpr int kUnderRightPanel = Local(layout::kRightPanelX) + 8;
constexpr int kKerbWidth = 8;
constexpr int kKerbBlock = 16;  // 32-px period: divides the 512-px wrap
constexpr int kDashPeriod = 64;
constexpr int kDashLength = 36;
// the picture repeats every 512 px down the road; periodic noise keeps that seam invisible
constexpr int kPeriod = kGroundHeight;

std::uint32_t Pack(Rgb c) {
  auto channel = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return 0xFF000000u | (channel(c.R) << 16) | (channel(c.G) << 8) | channel(c.B);
}

double Periodic(double x, double y, double cell, int octaves, std::uint32_t seed) {
  return FractalNoise(x, y, cell, octaves, seed, 0, int(kPeriod / cell));
}

Rgb Asphalt(int x, int y) {
  const double coarse = Periodic(x, y, 64, 2, 11) - 0.5;
  const double fine = LatticeValue(x, y & (kPeriod - 1), 12) - 0.5;
  Rgb colour = Shade(Hex(0x5C5E63), coarse * 0.25 + fine * 0.16);
  // rubber laid down where the wheels roll, two tracks a lane
  for (int lane = 1; lane < 4; ++lane) {
    const double centre =
        (kLaneEdge[std::size_t(lane)] + kLaneEdge[std::size_t(lane) + 1]) / 2.0 - kGroundX;
    for (const double track : {-21.0, 21.0}) {
      const double d = (x - centre - track) / 7.0;
      colour = Shade(colour, -0.16 * std::exp(-d * d));
    }
  }
  const double grit = LatticeValue(x, y & (kPeriod - 1), 13);
  if (grit > 0.985) colour = Shade(colour, 0.25);
  if (grit < 0.01) colour = Shade(colour, -0.3);
  return colour;
}

Rgb Dirt(int x, int y) {
  const double coarse = Periodic(x, y, 32, 3, 21) - 0.5;
  const double fine = LatticeValue(x, y & (kPeriod - 1), 22) - 0.5;
  Rgb colour = Shade(Hex(0x8E6E48), coarse * 0.35 + fine * 0.2);
  // ruts left by cars that strayed off the road, wobbling gently
  const double wobble = 4 * std::sin(y * 2 * M_PI / 256.0);
  for (const double rut : {kDirtLeft + 30.0, kDirtLeft + 72.0}) {
    const double d = (x - rut - wobble) / 5.0;
    colour = Shade(colour, -0.22 * std::exp(-d * d));
  }
  const double pebble = LatticeValue(x / 2, (y & (kPeriod - 1)) / 2, 23);
  if (pebble > 0.965) colour = Mix(colour, Hex(0xC8C0B0), 0.7);
  return colour;
}

Rgb Grass(int x, int y) {
  const double coarse = Periodic(x, y, 40, 3, 31) - 0.5;
  const double blades = LatticeValue(x, y & (kPeriod - 1), 32) - 0.5;
  Rgb colour = Shade(Hex(0x3F7E2E), coarse * 0.4 + blades * 0.22);
  // mown bands across the verge
  if (((y & (kPeriod - 1)) / 32) % 2 == 0) colour = Shade(colour, 0.06);
  const double flower = LatticeValue(x, y & (kPeriod - 1), 33);
  if (flower > 0.996) colour = Hex(0xF4E870);
  return colour;
}

Bitmap GroundTexture() {
  Bitmap bitmap(kGroundWidth, kGroundHeight);
  for (int y = 0; y < kGroundHeight; ++y) {
    // the verge meets the dirt along a ragged line that never eats into lane 1
    const int dirtEdge = kDirtLeft - int(Periodic(0, y, 16, 2, 41) * 5);
    for (int x = 0; x < kGroundWidth; ++x) {
      Rgb colour;
      // NOLINTNEXTLINE(bugprone-branch-clone): grass on both sides of the road, not one test twice
      if (x < dirtEdge) {
        colour = Grass(x, y);
      } else if (x < kRoadLeft) {
        colour = Dirt(x, y);
        if (x - dirtEdge < 2) colour = Shade(colour, -0.2);
      } else if (x < kRoadRight) {
        colour = Asphalt(x, y);
      } else if (x < kUnderRightPanel) {
        colour = Grass(x, y);
      } else {
        // hidden by the right panel except the screen's last column, which the panel leaves
        // open: there it reads as the panel's dark edge
        colour = Hex(0x0A0C10);
      }
      bitmap.At(x, y) = Pack(colour);
    }
  }
  return bitmap;
}

// Painted lines with worn spots where the asphalt shows through.
void PaintLine(Bitmap& bitmap, int left, int width, bool dashed) {
  for (int y = 0; y < kGroundHeight; ++y) {
    if (dashed && y % kDashPeriod >= kDashLength) continue;
    for (int x = left; x < left + width; ++x) {
      if (LatticeValue(x, y, 51) < 0.07) continue;
      const double tone = 0.9 + 0.1 * LatticeValue(x, y, 52);
      bitmap.At(x, y) = Pack(Rgb{tone, tone, tone * 0.96});
    }
  }
}

void PaintKerb(cairo_t* cr, double left) {
  for (int y = 0; y < kGroundHeight; y += kKerbBlock) {
    const bool red = (y / kKerbBlock) % 2 == 0;
    const Rgb base = red ? Hex(0xC42A20) : Hex(0xEEEEE8);
    cairo_rectangle(cr, left, y, kKerbWidth, kKerbBlock);
    cairo_pattern_t* block = cairo_pattern_create_linear(left, 0, left + kKerbWidth, 0);
    AddStop(block, 0, Shade(base, 0.2));
    AddStop(block, 0.5, base);
    AddStop(block, 1, Shade(base, -0.3));
    cairo_set_source(cr, block);
    cairo_fill(cr);
    cairo_pattern_destroy(block);
    cairo_rectangle(cr, left, y, kKerbWidth, 1);
    SetColour(cr, Shade(base, 0.35));
    cairo_fill(cr);
    cairo_rectangle(cr, left, y + kKerbBlock - 1, kKerbWidth, 1);
    SetColour(cr, Shade(base, -0.4));
    cairo_fill(cr);
  }
}

Bitmap SideWall(bool left) {
  constexpr int kWidth = 28;
  constexpr int kHeight = 192;
  constexpr int kWall = 22;
  Canvas canvas(kWidth, kHeight);
  cairo_t* cr = canvas.Context();
  const double x = left ? 1 : 3;
  cairo_rectangle(cr, x + 4, 3, kWall, kHeight - 3);
  SetColour(cr, Hex(0x141418));
  cairo_fill(cr);
  // a concrete barrier in sections; the top carries red and white warning paint
  for (int y = 0; y < kHeight - 4; y += 32) {
    const double section = std::min(32, kHeight - 4 - y);
    RoundedRectPath(cr, x, y, kWall, section - 1, 2);
    cairo_pattern_t* concrete = cairo_pattern_create_linear(x, 0, x + kWall, 0);
    AddStop(concrete, 0, Hex(0xE4E2DC));
    AddStop(concrete, 0.35, Hex(0xC8C6BE));
    AddStop(concrete, 1, Hex(0x7C7A74));
    cairo_set_source(cr, concrete);
    cairo_fill(cr);
    const bool red = (y / 32) % 2 == 0;
    RoundedRectPath(cr, x + 5, y + 3, kWall - 10, section - 7, 1.5);
    SetColour(cr, red ? Hex(0xD02A20) : Hex(0xF6F6F2));
    cairo_fill(cr);
    cairo_rectangle(cr, x + 5, y + 3, 2, section - 7);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.3);
    cairo_fill(cr);
    RoundedRectPath(cr, x + 0.5, y + 0.5, kWall - 1, section - 2, 2);
    SetColour(cr, Hex(0x34322E));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  return canvas.ToBitmap();
}

Bitmap FinishLine() {
  constexpr int kWidth = layout::kLaneEdge[4] - layout::kLaneEdge[1];
  constexpr int kSquare = 12;
  constexpr int kRows = 3;
  Canvas canvas(kWidth, kSquare * kRows);
  cairo_t* cr = canvas.Context();
  const int offset = (kWidth % kSquare) / 2;  // equal part squares at both ends
  for (int row = 0; row < kRows; ++row) {
    for (int column = -1; column * kSquare + offset < kWidth; ++column) {
      const bool black = (row + column + 8) % 2 == 0;
      const double x = column * kSquare + offset;
      cairo_rectangle(cr, x, row * kSquare, kSquare, kSquare);
      SetColour(cr, black ? Hex(0x141416) : Hex(0xF2F2EE));
      cairo_fill(cr);
      // a little wear on the paint
      cairo_rectangle(cr, x, row * kSquare, kSquare, 1);
      SetColour(cr, black ? Hex(0x2A2A2E) : Hex(0xFFFFFF));
      cairo_fill(cr);
    }
  }
  return canvas.ToBitmap();
}

}  // namespace

Bitmap SignBitmap(Sign sign) {
  constexpr int kWidth = layout::kRoadsideWidth;
  constexpr int kHeight = 52;
  const bool blue = sign == Sign::LeftBlue || sign == Sign::RightBlue;
  // signs on the left point right, towards the road, and the other way round
  const bool pointRight = sign == Sign::LeftBlue || sign == Sign::LeftRed;
  Canvas canvas(kWidth, kHeight);
  cairo_t* cr = canvas.Context();
  const double boardW = 24;
  const double boardH = 22;
  const double bx = 1;
  const double by = 1;
  // shadow of post and board on the grass
  cairo_rectangle(cr, bx + 3, by + 3, boardW, boardH);
  cairo_rectangle(cr, bx + boardW / 2 + 1, by + boardH, 3, kHeight - boardH - 3);
  SetColour(cr, Hex(0x141418));
  cairo_fill(cr);
  // post
  cairo_rectangle(cr, bx + boardW / 2 - 1.5, by + boardH - 1, 3, kHeight - boardH - 2);
  cairo_pattern_t* post =
      cairo_pattern_create_linear(bx + boardW / 2 - 1.5, 0, bx + boardW / 2 + 1.5, 0);
  AddStop(post, 0, Hex(0xE0E4EA));
  AddStop(post, 1, Hex(0x5A6068));
  cairo_set_source(cr, post);
  cairo_fill(cr);
  // board
  const Rgb face = blue ? Hex(0x1E5AC8) : Hex(0xD42820);
  RoundedRectPath(cr, bx, by, boardW, boardH, 3);
  SetColour(cr, Hex(0x101014));
  cairo_fill(cr);
  RoundedRectPath(cr, bx + 1, by + 1, boardW - 2, boardH - 2, 2.5);
  SetColour(cr, Hex(0xF4F4F0));
  cairo_fill(cr);
  RoundedRectPath(cr, bx + 2.5, by + 2.5, boardW - 5, boardH - 5, 1.5);
  cairo_pattern_t* paint =
      VerticalGradient(by, by + boardH, Shade(face, 0.25), face, Shade(face, -0.3));
  cairo_set_source(cr, paint);
  cairo_fill(cr);
  cairo_pattern_destroy(paint);
  // two chevrons
  const double direction = pointRight ? 1 : -1;
  const double cy = by + boardH / 2;
  for (int i = 0; i < 2; ++i) {
    const double cx = bx + boardW / 2 + direction * (i * 6 - 3);
    cairo_move_to(cr, cx - direction * 3, cy - 6);
    cairo_line_to(cr, cx + direction * 3, cy);
    cairo_line_to(cr, cx - direction * 3, cy + 6);
  }
  cairo_set_line_width(cr, 2.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  SetColour(cr, Hex(0xFFFFFF));
  cairo_stroke(cr);
  Shine(cr, bx + 6, by + 5, 8, 0.35);
  return canvas.ToBitmap();
}

Bitmap GroundBitmap() {
  Bitmap texture = GroundTexture();
  // the lines belong to the lane edges: solid at the road's sides, dashed between lanes
  PaintLine(texture, kRoadLeft + 3, 4, false);
  PaintLine(texture, kRoadRight - 7, 4, false);
  PaintLine(texture, Local(kLaneEdge[2]) - 2, 4, true);
  PaintLine(texture, Local(kLaneEdge[3]) - 2, 4, true);
  Canvas canvas(kGroundWidth, kGroundHeight);
  cairo_t* cr = canvas.Context();
  PaintBitmap(cr, texture, 0, 0);
  // kerbs lie off the road on both sides, so every lane keeps its full width
  PaintKerb(cr, kRoadLeft - kKerbWidth);
  PaintKerb(cr, kRoadRight);
  // a soft shadow where the asphalt drops to the dirt
  cairo_rectangle(cr, kRoadLeft - kKerbWidth - 3, 0, 3, kGroundHeight);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  return canvas.ToBitmap();
}

std::vector<ImageItemData> RoadsideItems() {
  return {
      OpaqueItem("GroundLeft", GroundBitmap()),
      KeyedItem("SignLeftBlue", SignBitmap(Sign::LeftBlue)),
      KeyedItem("SignLeftRed", SignBitmap(Sign::LeftRed)),
      KeyedItem("SignRightBlue", SignBitmap(Sign::RightBlue)),
      KeyedItem("SignRightRed", SignBitmap(Sign::RightRed)),
      KeyedItem("WallLeft", SideWall(true)),
      KeyedItem("WallRight", SideWall(false)),
      KeyedItem("FinishLine", FinishLine()),
  };
}

}  // namespace rivoltra::pictures
