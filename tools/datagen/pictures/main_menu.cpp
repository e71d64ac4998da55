#include "pictures/main_menu.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "pictures/art.h"
#include "pictures/cars.h"
#include "pictures/menu_widgets.h"
#include "pictures/noise.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"
#include "ui/screen_layout.h"

namespace rivoltra::pictures {

namespace {

namespace L = layout;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr double kHorizon = 300;
constexpr double kVanishX = 400;

std::uint32_t Pack(Rgb c) {
  auto channel = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return 0xFF000000u | (channel(c.R) << 16) | (channel(c.G) << 8) | channel(c.B);
}

Rgb SkyAt(double y) {
  const double t = y / kHorizon;
  if (t < 0.4) return Mix(Hex(0x060A20), Hex(0x1C1A4C), t / 0.4);
  if (t < 0.72) return Mix(Hex(0x1C1A4C), Hex(0x6E2A66), (t - 0.4) / 0.32);
  if (t < 0.92) return Mix(Hex(0x6E2A66), Hex(0xE0603A), (t - 0.72) / 0.2);
  return Mix(Hex(0xE0603A), Hex(0xFFB868), (t - 0.92) / 0.08);
}

// The ground below the horizon in perspective: a road running to the sunset between kerbs
// and fields, fading into the evening haze.
Rgb GroundAt(int x, int y) {
  const double s = (y + 0.5 - kHorizon) / (kScreenHeight - kHorizon);  // 0 at the horizon
  const double lateral = (x + 0.5 - kVanishX) / (s * 260);             // road half-widths
  const double depth = 1 / s;
  const double haze = std::pow(1 - s, 5);
  Rgb colour;
  const double across = std::abs(lateral);
  if (across < 1) {
    const double grain = LatticeValue(x, y, 61) - 0.5;
    colour = Shade(Hex(0x2A2C34), grain * 0.2);
    // the sunset shines on the asphalt down the middle
    colour = Mix(colour, Hex(0xC86A48), 0.35 * std::exp(-lateral * lateral * 6) * (1 - s));
    const bool dash = std::fmod(depth * 1.6, 1.0) < 0.5;
    for (const double line : {-1.0 / 3, 1.0 / 3}) {
      if (dash && std::abs(lateral - line) < 0.018) colour = Hex(0xE8E4DA);
    }
    if (across > 0.95) colour = Hex(0xE8E4DA);
  } else if (across < 1.1) {
    const bool red = std::fmod(depth * 3.2, 1.0) < 0.5;
    colour = red ? Hex(0xC02A20) : Hex(0xE8E4DA);
  } else {
    const bool band = std::fmod(depth * 0.9 + (lateral > 0 ? 0.5 : 0), 1.0) < 0.5;
    const double grain = LatticeValue(x, y, 62) - 0.5;
    colour = Shade(band ? Hex(0x1E4A2A) : Hex(0x183C22), grain * 0.25);
  }
  return Mix(colour, Hex(0xB05A58), haze);
}

void Mountains(cairo_t* cr, double base, double height, Rgb colour, std::uint32_t seed) {
  cairo_move_to(cr, 0, kHorizon + 1);
  for (int x = 0; x <= kScreenWidth; x += 8) {
    const double ridge = FractalNoise(x, 0, 160, 4, seed);
    cairo_line_to(cr, x, base - height * ridge);
  }
  cairo_line_to(cr, kScreenWidth, kHorizon + 1);
  cairo_close_path(cr);
  SetColour(cr, colour);
  cairo_fill(cr);
}

Bitmap Backdrop() {
  Bitmap pixels(kScreenWidth, kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      pixels.At(x, y) = Pack(y < kHorizon ? SkyAt(y + 0.5) : GroundAt(x, y));
    }
  }
  Canvas canvas(kScreenWidth, kScreenHeight);
  cairo_t* cr = canvas.Context();
  PaintBitmap(cr, pixels, 0, 0);

  Scatter stars(99);
  for (int i = 0; i < 140; ++i) {
    const double x = stars.Range(0, kScreenWidth);
    const double y = stars.Range(0, kHorizon * 0.6);
    const double bright = stars.Range(0.3, 1.0) * (1 - y / (kHorizon * 0.7));
    cairo_rectangle(cr, std::floor(x), std::floor(y), 1, 1);
    cairo_set_source_rgba(cr, 1, 1, 0.95, bright);
    cairo_fill(cr);
  }
  // the setting sun, cut by bands of haze
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, kScreenWidth, kHorizon);
  cairo_clip(cr);
  Glow(cr, kVanishX - 60, kHorizon - 60, 120, 60, 60, Hex(0xFF9A50), 60, 0.35);
  cairo_arc(cr, kVanishX, kHorizon, 92, 0, 2 * M_PI);
  cairo_pattern_t* sun = cairo_pattern_create_linear(0, kHorizon - 92, 0, kHorizon);
  AddStop(sun, 0, Hex(0xFFF4B0));
  AddStop(sun, 0.55, Hex(0xFFB040));
  AddStop(sun, 1, Hex(0xFF5030));
  cairo_set_source(cr, sun);
  cairo_fill(cr);
  cairo_pattern_destroy(sun);
  cairo_arc(cr, kVanishX, kHorizon, 92, 0, 2 * M_PI);
  cairo_clip(cr);
  for (int band = 0; band < 6; ++band) {
    const double y = kHorizon - 78 + band * 8;
    cairo_rectangle(cr, kVanishX - 100, y, 200, 1.5 + band * 0.7);
  }
  SetColour(cr, Hex(0xE0603A));
  cairo_fill(cr);
  cairo_restore(cr);
  Mountains(cr, kHorizon - 6, 70, Hex(0x4A2250), 5);
  Mountains(cr, kHorizon + 1, 34, Hex(0x1C1030), 6);

  // lamp posts along both sides, each casting a warm pool of light
  for (int i = 1; i <= 7; ++i) {
    const double s = 1.0 / (1 + i * 0.9);
    const double y = kHorizon + s * (kScreenHeight - kHorizon);
    const double height = 150 * s;
    for (const double side : {-1.0, 1.0}) {
      const double x = kVanishX + side * 1.22 * 260 * s;
      cairo_rectangle(cr, x - std::max(1.0, 3 * s), y - height, std::max(1.5, 6 * s), height);
      SetColour(cr, Hex(0x14101C));
      cairo_fill(cr);
      const double lampX = x - side * 26 * s;
      cairo_move_to(cr, x, y - height);
      cairo_line_to(cr, lampX, y - height);
      cairo_set_line_width(cr, std::max(1.0, 4 * s));
      cairo_stroke(cr);
      Glow(cr, lampX - 5 * s, y - height, 10 * s, 4 * s, 4 * s, Hex(0xFFD080), 18 * s, 0.9);
      EllipsePath(cr, lampX, y - height + 2 * s, std::max(1.5, 7 * s), std::max(1.0, 3 * s));
      SetColour(cr, Hex(0xFFF0C0));
      cairo_fill(cr);
    }
  }
  return canvas.ToBitmap();
}

void Logo(cairo_t* cr, double cx, double baseline, double size) {
  TextStyle chrome;
  chrome.Size = size;
  chrome.StretchX = 0.84;
  chrome.Slant = 0.2;
  const std::string name = "RIVOLTRA";
  // an orange glow, then a dark outline, then the chrome letters
  const double width = TextWidth(cr, name, chrome);
  const double left = cx - width / 2;
  cairo_save(cr);
  SelectFont(cr, chrome);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, left + 2, baseline + 4);
  cairo_text_path(cr, name.c_str());
  SetColour(cr, Hex(0x000000));
  cairo_fill(cr);
  cairo_move_to(cr, left, baseline);
  cairo_text_path(cr, name.c_str());
  cairo_set_line_width(cr, 7);
  SetColour(cr, Hex(0xE05A00));
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 3.5);
  SetColour(cr, Hex(0x0C1024));
  cairo_stroke_preserve(cr);
  const double cap = CapHeight(cr, chrome);
  cairo_pattern_t* metal = cairo_pattern_create_linear(0, baseline - cap, 0, baseline);
  AddStop(metal, 0, Hex(0xFFFFFF));
  AddStop(metal, 0.42, Hex(0xB8C8E0));
  AddStop(metal, 0.5, Hex(0x3A4A6A));
  AddStop(metal, 0.62, Hex(0xD8E4F4));
  AddStop(metal, 1, Hex(0x7A8CA8));
  cairo_set_source(cr, metal);
  cairo_fill(cr);
  cairo_pattern_destroy(metal);
  cairo_restore(cr);
}

Bitmap UpPanel() {
  constexpr int kBar = 76;
  Canvas canvas(kScreenWidth, L::kUpPanelHeight);
  cairo_t* cr = canvas.Context();
  // the bar across the top, and a tab hanging from its middle for the name
  const double tabLeft = 190;
  const double tabRight = 610;
  const double bottom = L::kUpPanelHeight - 1;
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, kScreenWidth, 0);
  cairo_line_to(cr, kScreenWidth, kBar);
  cairo_line_to(cr, tabRight + 22, kBar);
  cairo_line_to(cr, tabRight, bottom);
  cairo_line_to(cr, tabLeft, bottom);
  cairo_line_to(cr, tabLeft - 22, kBar);
  cairo_line_to(cr, 0, kBar);
  cairo_close_path(cr);
  SetColour(cr, Hex(0x0A0E16));
  cairo_fill(cr);
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, kScreenWidth, 0);
  cairo_line_to(cr, kScreenWidth, kBar - 2);
  cairo_line_to(cr, tabRight + 21, kBar - 2);
  cairo_line_to(cr, tabRight - 1, bottom - 2);
  cairo_line_to(cr, tabLeft + 1, bottom - 2);
  cairo_line_to(cr, tabLeft - 21, kBar - 2);
  cairo_line_to(cr, 0, kBar - 2);
  cairo_close_path(cr);
  cairo_pattern_t* metal = VerticalGradient(0, bottom, Hex(0x6A7A92), Hex(0x3A465A), Hex(0x1E2634));
  cairo_set_source(cr, metal);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(metal);
  cairo_save(cr);
  cairo_clip(cr);
  BrushStrokes(cr, 0, 0, kScreenWidth, L::kUpPanelHeight, 505, 0.08);
  // a lit edge along the bar's underside
  cairo_rectangle(cr, 0, kBar - 5, tabLeft - 22, 2);
  cairo_rectangle(cr, tabRight + 22, kBar - 5, kScreenWidth, 2);
  SetColour(cr, Hex(0xFFB020));
  cairo_fill(cr);
  cairo_restore(cr);
  for (const double x : {14.0, 160.0, 640.0, 786.0}) {
    Screw(cr, x, 14, 3);
    Screw(cr, x, kBar - 16, 3);
  }
  // vents on both wings
  for (const double left : {40.0, 660.0}) {
    for (int slot = 0; slot < 5; ++slot) {
      RoundedRectPath(cr, left, 20 + slot * 8, 100, 4, 2);
      SetColour(cr, Hex(0x0A0E16));
      cairo_fill(cr);
      cairo_rectangle(cr, left + 2, 20 + slot * 8 + 4, 96, 1);
      cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
      cairo_fill(cr);
    }
  }
  Logo(cr, kScreenWidth / 2.0, 78, 66);
  TextStyle tagline = LabelStyle(11);
  tagline.StretchX = 1.15;
  DrawText(cr, "A R C A D E   R O A D   R A C I N G", kScreenWidth / 2.0, 97, tagline,
           Align::Centre);
  return canvas.ToBitmap();
}

Bitmap DownPanel() {
  constexpr int kTop = 12;
  Canvas canvas(kScreenWidth, L::kDownPanelHeight);
  cairo_t* cr = canvas.Context();
  cairo_rectangle(cr, 0, kTop, kScreenWidth, L::kDownPanelHeight - kTop);
  cairo_pattern_t* metal =
      VerticalGradient(kTop, L::kDownPanelHeight, Hex(0x5A6A82), Hex(0x343E50), Hex(0x161C26));
  cairo_set_source(cr, metal);
  cairo_fill(cr);
  cairo_pattern_destroy(metal);
  BrushStrokes(cr, 0, kTop, kScreenWidth, L::kDownPanelHeight - kTop, 606, 0.08);
  // chrome trim along the top, with a raised step under the button column
  cairo_rectangle(cr, 0, kTop, kScreenWidth, 4);
  cairo_pattern_t* trim =
      VerticalGradient(kTop, kTop + 4, Hex(0xFFFFFF), Hex(0x9AA8BC), Hex(0x2A3240));
  cairo_set_source(cr, trim);
  cairo_fill(cr);
  cairo_pattern_destroy(trim);
  cairo_move_to(cr, L::kMenuButtonX - 30, kTop);
  cairo_line_to(cr, L::kMenuButtonX - 10, 0);
  cairo_line_to(cr, kScreenWidth, 0);
  cairo_line_to(cr, kScreenWidth, kTop);
  cairo_close_path(cr);
  cairo_pattern_t* step = VerticalGradient(0, kTop, Hex(0xD8E2EE), Hex(0x8090A8), Hex(0x4A5870));
  cairo_set_source(cr, step);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(step);
  SetColour(cr, Hex(0x0A0E16));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 0, L::kDownPanelHeight - 1, kScreenWidth, 1);
  SetColour(cr, Hex(0x05070A));
  cairo_fill(cr);

  // how to drive the menus
  double x = 24;
  const double y = 40;
  auto hint = [&](const std::string& key, double keyWidth, const std::string& meaning) {
    KeyCap(cr, key, x, y, keyWidth);
    TextStyle label = LabelStyle(11);
    DrawText(cr, meaning, x + keyWidth + 7, y + 12, label);
    x += keyWidth + 14 + TextWidth(cr, meaning, label) + 20;
  };
  hint("\xE2\x86\x91 \xE2\x86\x93", 34, "CHOOSE");
  hint("ENTER", 42, "SELECT");
  hint("ESC", 30, "BACK");
  hint("ALT+ENTER", 66, "FULL SCREEN");
  TextStyle version = LabelStyle(10);
  DrawText(cr, "V1.0", kScreenWidth - 24, 52, version, Align::Right);
  for (const double sx : {10.0, 790.0}) Screw(cr, sx, 80, 3);
  return canvas.ToBitmap();
}

// ---- captions: what the highlighted button does ----

enum class Illustration { None, Cars, Calendar, Settings, Cup, Keys, Globe, Flag };

// A desk calendar's page with today ringed, and a chequered corner: one race a day.
void CalendarPage(cairo_t* cr, double cx, double cy) {
  const double left = cx - 58;
  const double top = cy - 56;
  const double width = 116;
  const double height = 116;
  RoundedRectPath(cr, left + 4, top + 6, width, height, 8);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);
  RoundedRectPath(cr, left, top, width, height, 8);
  cairo_pattern_t* paper =
      VerticalGradient(top, top + height, Hex(0xFFFFFF), Hex(0xE8ECF2), Hex(0xC8D0DC));
  cairo_set_source(cr, paper);
  cairo_fill(cr);
  cairo_pattern_destroy(paper);
  // the red band along the top, with the rings that hold the pages
  cairo_save(cr);
  RoundedRectPath(cr, left, top, width, height, 8);
  cairo_clip(cr);
  cairo_rectangle(cr, left, top, width, 30);
  cairo_pattern_t* band =
      VerticalGradient(top, top + 30, Hex(0xF05A40), Hex(0xC02A20), Hex(0x801810));
  cairo_set_source(cr, band);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  cairo_restore(cr);
  for (const double x : {left + 28, left + width - 28}) {
    RoundedRectPath(cr, x - 4, top - 10, 8, 20, 4);
    SetColour(cr, Hex(0x3A4454));
    cairo_fill(cr);
  }
  TextStyle month = LabelStyle(12);
  DrawText(cr, "TODAY", cx, top + 21, month, Align::Centre);
  // the days: a grid of small cells, one ringed in orange
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 6; ++column) {
      const double x = left + 12 + column * 16;
      const double y = top + 40 + row * 17;
      RoundedRectPath(cr, x, y, 12, 11, 2);
      SetColour(cr, (row * 6 + column) % 7 == 6 ? Hex(0xD8A8A0) : Hex(0xA8B4C4));
      cairo_fill(cr);
    }
  }
  const double ringX = left + 12 + 3 * 16 + 6;
  const double ringY = top + 40 + 2 * 17 + 5.5;
  cairo_arc(cr, ringX, ringY, 11, 0, 2 * M_PI);
  cairo_set_line_width(cr, 3);
  SetColour(cr, Hex(0xF08010));
  cairo_stroke(cr);
  // a chequered flag peeking out of the lower corner
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      cairo_rectangle(cr, cx + 30 + column * 8, cy + 34 + row * 8, 8, 8);
      SetColour(cr, (row + column) % 2 ? Hex(0x141416) : Hex(0xF4F4F0));
      cairo_fill(cr);
    }
  }
  cairo_rectangle(cr, cx + 27, cy + 30, 3, 40);
  SetColour(cr, Hex(0xC8D0DA));
  cairo_fill(cr);
}

void CarLineUp(cairo_t* cr, double cx, double cy) {
  for (int car = 1; car <= 4; ++car) {
    const CarModel& model = CarModelOf(car);
    const double scale = 0.72;
    const double x = cx - 88 + (car - 1) * 46;
    DrawCar(cr, model, x, cy - model.Height * scale / 2 + (car % 2) * 10, scale, false);
  }
}

void MonitorAndSpeaker(cairo_t* cr, double cx, double cy) {
  RoundedRectPath(cr, cx - 62, cy - 50, 84, 62, 5);
  SetColour(cr, Hex(0x0A0C10));
  cairo_fill(cr);
  RoundedRectPath(cr, cx - 58, cy - 46, 76, 50, 3);
  cairo_pattern_t* screen =
      VerticalGradient(cy - 46, cy + 4, Hex(0x4A9AE0), Hex(0x1E4A90), Hex(0x0E1E40));
  cairo_set_source(cr, screen);
  cairo_fill(cr);
  cairo_pattern_destroy(screen);
  cairo_rectangle(cr, cx - 26, cy + 12, 12, 12);
  RoundedRectPath(cr, cx - 44, cy + 22, 48, 6, 2);
  SetColour(cr, Hex(0x6A7484));
  cairo_fill(cr);
  RoundedRectPath(cr, cx + 34, cy - 40, 40, 70, 5);
  cairo_pattern_t* box =
      VerticalGradient(cy - 40, cy + 30, Hex(0x5A6272), Hex(0x323844), Hex(0x1A1E26));
  cairo_set_source(cr, box);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(box);
  SetColour(cr, Hex(0x0A0C10));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  for (const auto& [dy, r] : {std::pair{-20.0, 8.0}, std::pair{10.0, 13.0}}) {
    cairo_arc(cr, cx + 54, cy + dy, r, 0, 2 * M_PI);
    SetColour(cr, Hex(0x0A0C10));
    cairo_fill(cr);
    cairo_arc(cr, cx + 54, cy + dy, r * 0.4, 0, 2 * M_PI);
    SetColour(cr, Hex(0x8A94A4));
    cairo_fill(cr);
  }
}

void KeyCluster(cairo_t* cr, double cx, double cy) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 1.45, 1.45);
  cairo_translate(cr, -cx, -cy);
  KeyCap(cr, "\xE2\x86\x91", cx - 13, cy - 34, 26);
  KeyCap(cr, "\xE2\x86\x90", cx - 43, cy - 14, 26);
  KeyCap(cr, "\xE2\x86\x93", cx - 13, cy - 14, 26);
  KeyCap(cr, "\xE2\x86\x92", cx + 17, cy - 14, 26);
  KeyCap(cr, "CTRL", cx - 60, cy + 16, 38);
  KeyCap(cr, "SPACE", cx - 16, cy + 16, 76);
  KeyCap(cr, "P", cx - 13, cy + 40, 26);
  KeyCap(cr, "ESC", cx + 19, cy + 40, 34);
  cairo_restore(cr);
}

void Globe(cairo_t* cr, double cx, double cy) {
  cairo_arc(cr, cx, cy, 52, 0, 2 * M_PI);
  cairo_pattern_t* sea = cairo_pattern_create_radial(cx - 18, cy - 20, 4, cx, cy, 56);
  AddStop(sea, 0, Hex(0x8AD0FF));
  AddStop(sea, 0.6, Hex(0x2A6AC8));
  AddStop(sea, 1, Hex(0x0C2452));
  cairo_set_source(cr, sea);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sea);
  cairo_save(cr);
  cairo_clip(cr);
  for (const auto& [lx, ly, rx, ry, seed] :
       {std::tuple{-18.0, -14.0, 20.0, 16.0, 1u}, std::tuple{22.0, 12.0, 18.0, 24.0, 2u},
        std::tuple{-4.0, 30.0, 12.0, 8.0, 3u}}) {
    BlobPath(cr, cx + lx, cy + ly, rx, ry, 0.3, seed, 10);
    SetColour(cr, Hex(0x3AA050));
    cairo_fill(cr);
  }
  cairo_set_line_width(cr, 1.2);
  for (const double r : {0.35, 0.75}) {
    EllipsePath(cr, cx, cy, 52 * r, 52);
  }
  for (const double y : {-26.0, 0.0, 26.0}) {
    const double half = std::sqrt(52.0 * 52 - y * y);
    cairo_move_to(cr, cx - half, cy + y);
    cairo_line_to(cr, cx + half, cy + y);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
  cairo_arc(cr, cx, cy, 52, 0, 2 * M_PI);
  SetColour(cr, Hex(0x0A0C14));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  Shine(cr, cx - 20, cy - 22, 26, 0.45);
}

void ChequeredFlag(cairo_t* cr, double cx, double cy) {
  cairo_rectangle(cr, cx - 50, cy - 50, 5, 112);
  SetColour(cr, Hex(0xC8D0DA));
  cairo_fill(cr);
  // the chequered cloth, waving
  const int columns = 8;
  const int rows = 6;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      auto corner = [&](double u, double v) {
        const double px = cx - 45 + u * 12;
        const double py = cy - 48 + v * 11 + 6 * std::sin(u * 0.8);
        return std::pair{px, py};
      };
      const auto a = corner(column, row);
      const auto b = corner(column + 1, row);
      const auto c = corner(column + 1, row + 1);
      const auto d = corner(column, row + 1);
      cairo_move_to(cr, a.first, a.second);
      cairo_line_to(cr, b.first, b.second);
      cairo_line_to(cr, c.first, c.second);
      cairo_line_to(cr, d.first, d.second);
      cairo_close_path(cr);
      const double light = 0.15 * std::cos(column * 0.8);
      SetColour(cr, (row + column) % 2 ? Shade(Hex(0x141416), light) : Shade(Hex(0xE8E8E4), light));
      cairo_fill(cr);
    }
  }
}

void DrawIllustration(cairo_t* cr, Illustration picture, double cx, double cy) {
  switch (picture) {
    case Illustration::None:
      return;
    case Illustration::Cars:
      return CarLineUp(cr, cx, cy);
    case Illustration::Calendar:
      return CalendarPage(cr, cx, cy);
    case Illustration::Settings:
      return MonitorAndSpeaker(cr, cx, cy);
    case Illustration::Cup:
      Trophy(cr, cx, cy, 110, Hex(0xF0B820));
      Shine(cr, cx - 18, cy - 30, 22, 0.5);
      return;
    case Illustration::Keys:
      return KeyCluster(cr, cx, cy);
    case Illustration::Globe:
      return Globe(cr, cx, cy);
    case Illustration::Flag:
      return ChequeredFlag(cr, cx, cy);
  }
}

Bitmap Caption(const std::string& title, const std::string& text, Illustration picture,
               const std::string& action) {
  Canvas canvas(L::kCaptionWidth, L::kCaptionHeight);
  cairo_t* cr = canvas.Context();
  if (title.empty()) return canvas.ToBitmap();  // the empty caption shows nothing at all
  FramedScreen(cr, 0, 0, L::kCaptionWidth, L::kCaptionHeight);
  DrawText(cr, title, 28, 60, TitleStyle(34));
  cairo_rectangle(cr, 28, 72, 250, 2);
  cairo_pattern_t* rule = cairo_pattern_create_linear(28, 0, 278, 0);
  cairo_pattern_add_color_stop_rgba(rule, 0, 1, 0.7, 0.15, 1);
  cairo_pattern_add_color_stop_rgba(rule, 1, 1, 0.7, 0.15, 0);
  cairo_set_source(cr, rule);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  DrawParagraph(cr, text, 28, 104, 262, 21, BodyStyle(14));
  DrawIllustration(cr, picture, 392, 140);
  // what Enter does here, along the foot of the screen
  const double footY = L::kCaptionHeight - 40;
  cairo_rectangle(cr, 20, footY - 10, L::kCaptionWidth - 40, 1);
  cairo_set_source_rgba(cr, 0.6, 0.75, 1.0, 0.25);
  cairo_fill(cr);
  KeyCap(cr, "ENTER", 28, footY, 46);
  DrawText(cr, action, 84, footY + 12, AccentStyle(13));
  return canvas.ToBitmap();
}

// ---- the button column ----

void MenuButtonFace(cairo_t* cr, const std::string& text, bool highlighted) {
  const double w = L::kMenuButtonWidth;
  const double h = L::kMenuButtonHeight;
  const double slant = 16;
  // the button runs off the right edge of the screen; its left end is cut on the slant
  auto outline = [&](double inset) {
    cairo_new_path(cr);
    cairo_move_to(cr, slant + inset, inset);
    cairo_line_to(cr, w, inset);
    cairo_line_to(cr, w, h - 2 - inset);
    cairo_line_to(cr, inset, h - 2 - inset);
    cairo_close_path(cr);
  };
  outline(0);
  SetColour(cr, Hex(0x06080C));
  cairo_fill(cr);
  outline(1.5);
  cairo_pattern_t* face = highlighted
                              ? VerticalGradient(0, h, Hex(0xFFD060), Hex(0xF08010), Hex(0x9A3C00))
                              : VerticalGradient(0, h, Hex(0x6C7C96), Hex(0x3A465A), Hex(0x1C2330));
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_save(cr);
  cairo_clip(cr);
  if (!highlighted) BrushStrokes(cr, 0, 0, w, h, 707, 0.08);
  // a lit upper edge and a glossy upper half
  cairo_rectangle(cr, 0, 1.5, w, 1.5);
  cairo_set_source_rgba(cr, 1, 1, 1, highlighted ? 0.7 : 0.35);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 3, w, h * 0.38);
  cairo_set_source_rgba(cr, 1, 1, 1, highlighted ? 0.18 : 0.06);
  cairo_fill(cr);
  cairo_restore(cr);
  // a drop shadow line under the button keeps neighbours apart
  cairo_rectangle(cr, 2, h - 2, w, 2);
  SetColour(cr, Hex(0x000000));
  cairo_fill(cr);

  Lamp(cr, 34, h / 2 - 1, 6, highlighted ? Hex(0x9CFF60) : Hex(0x3A8A30), highlighted);
  TextStyle label;
  label.Size = 19;
  label.StretchX = 0.9;
  label.Gradient = true;
  label.OutlineWidth = 1.4;
  label.ShadowX = 1;
  label.ShadowY = 2;
  if (highlighted) {
    label.Fill = Hex(0xFFFFFF);
    label.FillBottom = Hex(0xFFF2C8);
    label.Outline = Hex(0x401000);
    label.Shadow = Hex(0x6A2400);
  } else {
    label.Fill = Hex(0xE8EEF6);
    label.FillBottom = Hex(0x8894A6);
    label.Outline = Hex(0x080A10);
  }
  DrawText(cr, text, 52, h / 2 + CapHeight(cr, label) / 2 - 1, label);
  if (highlighted) {
    // chevrons pointing at the screen's content
    for (int i = 0; i < 2; ++i) {
      const double x = w - 34 + i * 9;
      cairo_move_to(cr, x + 6, h / 2 - 8);
      cairo_line_to(cr, x, h / 2 - 1);
      cairo_line_to(cr, x + 6, h / 2 + 6);
    }
    cairo_set_line_width(cr, 3);
    SetColour(cr, Hex(0x3A1000));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 1.6);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_stroke(cr);
  }
}

Bitmap MenuButton(const std::string& text, bool highlighted) {
  Canvas canvas(L::kMenuButtonWidth, L::kMenuButtonHeight);
  MenuButtonFace(canvas.Context(), text, highlighted);
  return canvas.ToBitmap();
}

// Every button but Exit, top to bottom: the patterns of the column pictures.
const char* const kButtonTexts[6] = {"START",       "DAILY RUN", "OPTIONS",
                                     "HIGH SCORES", "HELP",      "VISIT WEB SITE"};

Bitmap MenuButtonColumn(bool highlighted) {
  std::vector<Bitmap> buttons;
  for (const char* text : kButtonTexts) buttons.push_back(MenuButton(text, highlighted));
  return StackVertically(buttons);
}

}  // namespace

std::vector<ImageItemData> MainMenuItems() {
  std::vector<ImageItemData> items;
  items.push_back(OpaqueItem("MainMenuBackground", Backdrop()));
  items.push_back(KeyedItem("UpPanel", UpPanel()));
  items.push_back(KeyedItem("DownPanel", DownPanel()));
  items.push_back(KeyedItem("NullCaption", Caption("", "", Illustration::None, "")));
  items.push_back(KeyedItem(
      "StartCaption",
      Caption("START RACE",
              "Choose one of four cars and race up the road against the clock. Each level is "
              "longer than the last, and every third level brings traffic in both directions.",
              Illustration::Cars, "CHOOSE YOUR CAR")));
  items.push_back(KeyedItem(
      "DailyRunCaption",
      Caption("DAILY RUN",
              "One course a day, the same for every driver: the day's car and the day's road. "
              "Your best run of the day goes into the day's online table.",
              Illustration::Calendar, "SEE TODAY'S TABLE")));
  items.push_back(KeyedItem(
      "OptionsCaption",
      Caption("OPTIONS",
              "Window or full screen, music and sound on or off, and the country shown beside "
              "your name in the online high-score table.",
              Illustration::Settings, "CHANGE THE SETTINGS")));
  items.push_back(KeyedItem(
      "HighScoresCaption",
      Caption("HIGH SCORES",
              "The ten best drivers on this machine. Beat one of them and your name goes into "
              "the table.",
              Illustration::Cup, "SHOW THE TABLE")));
  items.push_back(KeyedItem(
      "HelpCaption",
      Caption("HELP",
              "The keys, the dangers on the road, the bonuses worth grabbing and how the score "
              "is counted.",
              Illustration::Keys, "READ THE HELP PAGES")));
  items.push_back(KeyedItem(
      "VisitWWWCaption",
      Caption("WEB SITE",
              "Opens the Rivoltra web site in your browser: news, and the online high-score "
              "table of drivers everywhere.",
              Illustration::Globe, "OPEN THE SITE IN YOUR BROWSER")));
  items.push_back(KeyedItem(
      "ExitCaption",
      Caption("EXIT",
              "Leave the game. Your settings and your high scores are saved on the way out.",
              Illustration::Flag, "QUIT RIVOLTRA")));
  items.push_back(KeyedItem("MainMenuButtons_Inactive", MenuButtonColumn(false),
                            L::kMenuButtonWidth, L::kMenuButtonHeight));
  items.push_back(KeyedItem("MainMenuButtons_Active", MenuButtonColumn(true), L::kMenuButtonWidth,
                            L::kMenuButtonHeight));
  items.push_back(KeyedItem("MainMenu_ExitInactive", MenuButton("EXIT", false)));
  items.push_back(KeyedItem("MainMenu_ExitActive", MenuButton("EXIT", true)));
  return items;
}

}  // namespace rivoltra::pictures
