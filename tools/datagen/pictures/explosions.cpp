#include "pictures/explosions.h"

#include <algorithm>
#include <cmath>

#include "pictures/art.h"
#include "pictures/noise.h"
#include "pictures/shading.h"

namespace rivoltra::pictures {

namespace {

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

void Puff(cairo_t* cr, double x, double y, double radius, Rgb colour, std::uint32_t seed) {
  BlobPath(cr, x, y, radius, radius, 0.18, seed, 8);
  cairo_pattern_t* shade =
      cairo_pattern_create_radial(x - radius * 0.4, y - radius * 0.45, 0.5, x, y, radius * 1.15);
  AddStop(shade, 0, Shade(colour, 0.35));
  AddStop(shade, 0.6, colour);
  AddStop(shade, 1, Shade(colour, -0.45));
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
}

void Star(cairo_t* cr, double cx, double cy, double inner, double outer, int rays, double turn) {
  for (int i = 0; i < rays * 2; ++i) {
    const double angle = turn + M_PI * i / rays;
    const double r = i % 2 == 0 ? outer : inner;
    const double x = cx + std::cos(angle) * r;
    const double y = cy + std::sin(angle) * r;
    if (i == 0) {
      cairo_move_to(cr, x, y);
    } else {
      cairo_line_to(cr, x, y);
    }
  }
  cairo_close_path(cr);
}

// One frame of a blast in a square cell: t runs from 0 (flash) to 1 (the last of the smoke).
void Blast(cairo_t* cr, double size, int frame, int frames, std::uint32_t seed) {
  const double t = double(frame) / (frames - 1);
  const double c = size / 2;
  const double reach = size / 2 - 1.5;
  Scatter scatter(seed * 31 + std::uint32_t(frame));

  // smoke rolls out once the fire has caught, and thins into wisps at the end
  const double smoke = Clamp01((t - 0.25) / 0.75);
  if (smoke > 0) {
    const int puffs = 7;
    for (int i = 0; i < puffs; ++i) {
      const double angle = 2 * M_PI * i / puffs + seed * 0.7;
      const double distance = reach * (0.18 + 0.42 * smoke);
      const double fade = t > 0.8 ? 1 - (t - 0.8) / 0.2 * 0.55 : 1.0;
      const double radius = reach * (0.2 + 0.22 * smoke) * fade;
      const Rgb colour =
          Mix(Hex(0x8A5030), Mix(Hex(0x6E6864), Hex(0x44403E), smoke), Clamp01(smoke * 1.6));
      // the last frames lose the puffs on the far side first: the cloud breaks up
      if (t > 0.85 && i % 2 == 1) continue;
      Puff(cr, c + std::cos(angle) * distance,
           c + std::sin(angle) * distance - smoke * reach * 0.15, radius, colour,
           seed + std::uint32_t(i));
    }
  }

  // the fireball swells, then shrinks inside the smoke
  const double fire = t < 0.75 ? std::sin(M_PI * Clamp01((t + 0.08) / 0.83)) : 0.0;
  if (fire > 0.05) {
    const double radius = reach * (0.3 + 0.62 * fire) * (t < 0.1 ? 0.6 + t * 4 : 1.0);
    const double heat = Clamp01(1 - t * 1.3);  // white-hot early, red late
    BlobPath(cr, c, c, radius, radius, 0.2, seed * 13 + std::uint32_t(frame), 12);
    cairo_pattern_t* ball =
        cairo_pattern_create_radial(c - radius * 0.2, c - radius * 0.25, 0.5, c, c, radius);
    AddStop(ball, 0, Mix(Hex(0xFFB030), Hex(0xFFFFF0), heat));
    AddStop(ball, 0.35, Mix(Hex(0xF06010), Hex(0xFFE050), heat));
    AddStop(ball, 0.75, Mix(Hex(0xB02808), Hex(0xFF8A10), heat));
    AddStop(ball, 1, Mix(Hex(0x601808), Hex(0xD04008), heat));
    cairo_set_source(cr, ball);
    cairo_fill(cr);
    cairo_pattern_destroy(ball);
    // tongues of flame licking out of the ball
    for (int i = 0; i < 5; ++i) {
      const double angle = scatter.Range(0, 2 * M_PI);
      const double r = radius * scatter.Range(0.55, 0.85);
      Puff(cr, c + std::cos(angle) * r, c + std::sin(angle) * r, radius * scatter.Range(0.22, 0.34),
           Mix(Hex(0xD84A10), Hex(0xFFD040), heat * 0.8), seed + 100 + std::uint32_t(i + frame));
    }
  }

  // the flash: a white star with rays
  if (t < 0.2) {
    const double flash = 1 - t / 0.2;
    Star(cr, c, c, reach * 0.3, reach * (0.55 + 0.4 * flash), 8, seed * 0.3 + t);
    SetColour(cr, Hex(0xFFF6B0));
    cairo_fill(cr);
    cairo_arc(cr, c, c, reach * (0.2 + 0.15 * flash), 0, 2 * M_PI);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
  }

  // flying sparks and debris
  if (t < 0.65) {
    for (int i = 0; i < 10; ++i) {
      const double angle = scatter.Range(0, 2 * M_PI);
      const double r = reach * (0.3 + 0.65 * Clamp01(t / 0.6)) * scatter.Range(0.7, 1.0);
      const double x = c + std::cos(angle) * r;
      const double y = c + std::sin(angle) * r;
      cairo_rectangle(cr, x - 1, y - 1, 2, 2);
      SetColour(cr, i % 3 == 0 ? Hex(0x302820) : Hex(0xFFE890));
      cairo_fill(cr);
    }
  }
}

void Spark(cairo_t* cr, int frame) {
  const double c = 8;
  const double turn = frame * 0.4;
  const double outer = frame % 2 == 0 ? 7.5 : 6;
  Star(cr, c, c, 2.2, outer, 4, turn);
  SetColour(cr, Hex(0xFFC040));
  cairo_fill(cr);
  Star(cr, c, c, 1.4, outer * 0.7, 4, turn + M_PI / 4);
  SetColour(cr, Hex(0xFFF4C0));
  cairo_fill(cr);
  cairo_arc(cr, c, c, 2, 0, 2 * M_PI);
  SetColour(cr, Hex(0xFFFFFF));
  cairo_fill(cr);
}

}  // namespace

std::vector<ImageItemData> ExplosionItems() {
  constexpr int kSmall = 64;
  constexpr int kSmallFrames = 10;
  constexpr int kBig = 96;
  constexpr int kBigFrames = 12;
  return {
      KeyedItem("ExplosionMicro", FrameStrip(16, 16, 4, Spark), 16, 16),
      KeyedItem(
          "ExplosionSmall",
          FrameStrip(kSmall, kSmall, kSmallFrames,
                     [](cairo_t* cr, int frame) { Blast(cr, kSmall, frame, kSmallFrames, 3); }),
          kSmall, kSmall),
      KeyedItem("ExplosionBig",
                FrameStrip(kBig, kBig, kBigFrames,
                           [](cairo_t* cr, int frame) { Blast(cr, kBig, frame, kBigFrames, 7); }),
                kBig, kBig),
  };
}

}  // namespace rivoltra::pictures
