#include "pictures/hud.h"

#include <cmath>
#include <string>

#include "pictures/art.h"
#include "pictures/bonuses.h"
#include "pictures/menu_widgets.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"
#include "ui/screen_layout.h"

namespace rivoltra::pictures {

namespace {

namespace L = layout;

constexpr int kPanelHeight = 600;
const Rgb kPanelMetal = Hex(0x3A4658);
const Rgb kDisplayGlass = Hex(0x0C1A26);

// The needle picture: pivot and tip. The pivot is where the race turns it.
constexpr double kPivotX = L::kPointerWidth * L::kPointerPivotX;   // 4
constexpr double kPivotY = L::kPointerHeight * L::kPointerPivotY;  // 20
constexpr double kTipX = 37.5;
constexpr double kTipY = 1.5;

TextStyle PanelLabelStyle(double size) {
  TextStyle style;
  style.Size = size;
  style.StretchX = 0.92;
  style.Fill = Hex(0xF2F6FA);
  style.FillBottom = Hex(0x9AA8BA);
  style.Gradient = true;
  style.Outline = Hex(0x0A0E14);
  style.OutlineWidth = 1;
  return style;
}

void PanelBody(cairo_t* cr, double width, bool railOnRight) {
  cairo_rectangle(cr, 0, 0, width, kPanelHeight);
  cairo_pattern_t* metal = cairo_pattern_create_linear(0, 0, width, 0);
  AddStop(metal, 0, Shade(kPanelMetal, railOnRight ? 0.18 : -0.3));
  AddStop(metal, 0.5, kPanelMetal);
  AddStop(metal, 1, Shade(kPanelMetal, railOnRight ? -0.3 : 0.1));
  cairo_set_source(cr, metal);
  cairo_fill(cr);
  cairo_pattern_destroy(metal);
  BrushStrokes(cr, 0, 0, width, kPanelHeight, 404, 0.07);
  // a chrome rail along the edge that meets the road
  const double rail = 6;
  const double x = railOnRight ? width - rail : 0;
  cairo_rectangle(cr, x, 0, rail, kPanelHeight);
  cairo_pattern_t* chrome = cairo_pattern_create_linear(x, 0, x + rail, 0);
  AddStop(chrome, 0, Hex(0x5A6472));
  AddStop(chrome, 0.3, Hex(0xF4F8FC));
  AddStop(chrome, 0.6, Hex(0xA8B4C4));
  AddStop(chrome, 1, Hex(0x2A3038));
  cairo_set_source(cr, chrome);
  cairo_fill(cr);
  cairo_pattern_destroy(chrome);
  cairo_rectangle(cr, railOnRight ? width - 1 : 0, 0, 1, kPanelHeight);
  SetColour(cr, Hex(0x0A0C10));
  cairo_fill(cr);
}

// A raised plate riveted onto the panel.
void Plate(cairo_t* cr, double x, double y, double w, double h) {
  MetalPlate(cr, x, y, w, h, 4, Shade(kPanelMetal, 0.12), 2);
  for (const double sx : {x + 5, x + w - 5}) {
    for (const double sy : {y + 5, y + h - 5}) Screw(cr, sx, sy, 2.2);
  }
}

void Label(cairo_t* cr, const std::string& text, double x, double baseline, double size,
           Align align = Align::Left) {
  DrawText(cr, text, x, baseline, PanelLabelStyle(size), align);
}

void DisplayWindow(cairo_t* cr, double x, double y, double w, double h) {
  InsetWell(cr, x, y, w, h, 3, kDisplayGlass);
  // faint scan lines of the display
  cairo_save(cr);
  cairo_rectangle(cr, x + 2, y + 2, w - 4, h - 4);
  cairo_clip(cr);
  for (double ly = y + 3; ly < y + h - 2; ly += 3) {
    cairo_rectangle(cr, x + 2, ly, w - 4, 1);
  }
  cairo_set_source_rgba(cr, 0.4, 0.8, 1.0, 0.05);
  cairo_fill(cr);
  cairo_restore(cr);
}

Bitmap LeftPanel() {
  Canvas canvas(L::kLeftPanelWidth, kPanelHeight);
  cairo_t* cr = canvas.Context();
  PanelBody(cr, L::kLeftPanelWidth, true);
  const double inner = L::kLeftPanelWidth - 6;

  // the name plate
  Plate(cr, 6, 8, inner - 12, 46);
  TextStyle logo;
  logo.Size = 21;
  logo.StretchX = 0.78;
  logo.Slant = 0.18;
  logo.Fill = Hex(0xFFF4C0);
  logo.FillBottom = Hex(0xFF8A10);
  logo.Gradient = true;
  logo.Outline = Hex(0x200800);
  logo.OutlineWidth = 1.4;
  logo.ShadowY = 2;
  logo.ShadowX = 1;
  DrawText(cr, "RIVOLTRA", inner / 2, 39, logo, Align::Centre);

  // one window per number, under its label
  const char* const labels[] = {"LEVEL", "SCORE", "TIME", "LIVES"};
  for (std::size_t i = 0; i < 4; ++i) {
    const double row = L::kHudNumberRows[i];
    Plate(cr, 8, row - 34, inner - 16, 76);
    Label(cr, labels[i], 20, row - 14, 12);
    DisplayWindow(cr, 16, row - 8, inner - 32, 32);
  }
  // small signs of what each number means
  DrawHeartIcon(cr, 100, L::kHudNumberRows[3] - 19, 5.5);

  // the keys of the race, for a glance in a quiet moment
  Plate(cr, 8, 414, inner - 16, 176);
  Label(cr, "KEYS", inner / 2, 434, 11, Align::Centre);
  const struct {
    const char* Key;
    double KeyWidth;
    const char* Meaning;
  } keys[] = {
      {"CTRL", 30, "FIRE"}, {"P", 18, "PAUSE"}, {"ESC", 26, "QUIT"}, {"\xE2\x86\x91", 18, "GAS"}};
  double y = 446;
  for (const auto& key : keys) {
    KeyCap(cr, key.Key, 18, y, key.KeyWidth);
    Label(cr, key.Meaning, 54, y + 12, 10);
    y += 34;
  }
  return canvas.ToBitmap();
}

}  // namespace

double NeedleScreenAngle(double speed) {
  const double rest = std::atan2(kTipY - kPivotY, kTipX - kPivotX);
  return rest + speed * L::kNeedleUnitsPerSpeed * 2 * M_PI / 256;
}

namespace {

void Speedometer(cairo_t* cr, double cx, double cy) {
  const double radius = 46;
  // chrome bezel and black face
  cairo_arc(cr, cx, cy, radius + 2, 0, 2 * M_PI);
  SetColour(cr, Hex(0x0A0C10));
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, radius + 1, 0, 2 * M_PI);
  cairo_pattern_t* bezel =
      cairo_pattern_create_linear(cx - radius, cy - radius, cx + radius, cy + radius);
  AddStop(bezel, 0, Hex(0xF8FAFC));
  AddStop(bezel, 0.5, Hex(0x8A96A6));
  AddStop(bezel, 1, Hex(0x2A3038));
  cairo_set_source(cr, bezel);
  cairo_fill(cr);
  cairo_pattern_destroy(bezel);
  cairo_arc(cr, cx, cy, radius - 3, 0, 2 * M_PI);
  cairo_pattern_t* face = cairo_pattern_create_radial(cx, cy - 10, 4, cx, cy, radius);
  AddStop(face, 0, Hex(0x26303C));
  AddStop(face, 1, Hex(0x080A0E));
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);

  // the scale follows the needle: speed x 14 reads as km/h
  const double top = 300;
  const double red = 250;  // beyond the cars' own top speed: turbo only
  auto angleOf = [](double kmh) { return NeedleScreenAngle(kmh / L::kKmhPerSpeed); };
  cairo_set_line_width(cr, 4);
  cairo_arc(cr, cx, cy, radius - 7, angleOf(red), angleOf(top));
  SetColour(cr, Hex(0xE02010));
  cairo_stroke(cr);
  for (int kmh = 0; kmh <= int(top); kmh += 10) {
    const double a = angleOf(kmh);
    const bool major = kmh % 50 == 0;
    const double inner = radius - (major ? 13 : 9);
    cairo_move_to(cr, cx + std::cos(a) * inner, cy + std::sin(a) * inner);
    cairo_line_to(cr, cx + std::cos(a) * (radius - 4), cy + std::sin(a) * (radius - 4));
    cairo_set_line_width(cr, major ? 2 : 1);
    SetColour(cr, kmh >= red ? Hex(0xFF7060) : Hex(0xF0F4F8));
    cairo_stroke(cr);
    if (major) {
      TextStyle digits;
      digits.Size = 8;
      digits.StretchX = 0.8;
      digits.Hinted = true;
      digits.Fill = kmh >= red ? Hex(0xFF8A70) : Hex(0xFFE9A0);
      const double r = radius - 21;
      DrawText(cr, std::to_string(kmh), cx + std::cos(a) * r, cy + std::sin(a) * r + 3, digits,
               Align::Centre);
    }
  }
  TextStyle unit;
  unit.Size = 7;
  unit.Hinted = true;
  unit.Fill = Hex(0x9AB0C8);
  // the unit sits in the gap of the scale, where the needle never points
  const double gap = angleOf(top) + (2 * M_PI - (angleOf(top) - angleOf(0))) / 2;
  DrawText(cr, "KM/H", cx + std::cos(gap) * 22, cy + std::sin(gap) * 22 + 3, unit, Align::Centre);
  Shine(cr, cx - 16, cy - 20, 16, 0.12);
}

void ProgressTrack(cairo_t* cr, double x) {
  // x is the track's centre; the marker's top runs from 322 at the start to 41 at the finish
  const double top = L::kProgressTop - 6;
  const double bottom = L::kProgressBottom + 26;
  InsetWell(cr, x - 9, top, 18, bottom - top, 4, Hex(0x2A2E34));
  cairo_set_line_width(cr, 1.5);
  for (double y = top + 10; y < bottom - 6; y += 14) {
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y + 7);
  }
  SetColour(cr, Hex(0xC8CCD0));
  cairo_stroke(cr);
  // quarter marks beside the track
  for (int quarter = 0; quarter <= 4; ++quarter) {
    const double y =
        L::kProgressBottom + 11 - (L::kProgressBottom - L::kProgressTop) * quarter / 4.0;
    for (const double side : {-1.0, 1.0}) {
      cairo_move_to(cr, x + side * 11, y);
      cairo_line_to(cr, x + side * (quarter % 2 == 0 ? 18 : 15), y);
    }
  }
  SetColour(cr, Hex(0xFFD060));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  // chequered finish above, start line below
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      cairo_rectangle(cr, x - 8 + column * 4, top - 14 + row * 4, 4, 4);
      SetColour(cr, (row + column) % 2 ? Hex(0x101010) : Hex(0xF4F4F4));
      cairo_fill(cr);
    }
  }
  cairo_rectangle(cr, x - 8.5, top - 14.5, 17, 13);
  SetColour(cr, Hex(0x0A0C10));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

Bitmap RightPanel() {
  constexpr double kLocal = L::kRightPanelX;
  Canvas canvas(L::kRightPanelWidth, kPanelHeight);
  cairo_t* cr = canvas.Context();
  PanelBody(cr, L::kRightPanelWidth, false);
  const double trackX = L::kProgressX - kLocal;

  Plate(cr, 14, 6, L::kRightPanelWidth - 20, 370);
  Label(cr, "FINISH", trackX, 20, 10, Align::Centre);
  ProgressTrack(cr, trackX);
  Label(cr, "START", trackX, 366, 10, Align::Centre);

  // bonus window: the indicator on the left, its seconds on the right
  Plate(cr, 8, 384, L::kRightPanelWidth - 14, 92);
  Label(cr, "BONUS", 16, 404, 11);
  const double windowLeft = 681 - kLocal;
  const double windowRight = 797 - kLocal;
  DisplayWindow(cr, windowLeft, 414, windowRight - windowLeft, 52);
  cairo_rectangle(cr, L::kBonusSecondsX - kLocal - 6, 418, 1, 44);
  SetColour(cr, Hex(0x2A4A60));
  cairo_fill(cr);
  TextStyle seconds;
  seconds.Size = 7;
  seconds.Hinted = true;
  seconds.Fill = Hex(0x6A8AA6);
  DrawText(cr, "SEC", L::kBonusSecondsX - kLocal + 13, 461, seconds, Align::Centre);

  Plate(cr, 8, 482, L::kRightPanelWidth - 14, 112);
  Speedometer(cr, L::kDialX - kLocal, L::kDialY);
  return canvas.ToBitmap();
}

Bitmap Needle() {
  Canvas canvas(L::kPointerWidth, L::kPointerHeight);
  cairo_t* cr = canvas.Context();
  const double angle = std::atan2(kTipY - kPivotY, kTipX - kPivotX);
  const double length = std::hypot(kTipX - kPivotX, kTipY - kPivotY);
  cairo_translate(cr, kPivotX, kPivotY);
  cairo_rotate(cr, angle);
  // a tapered blade from a short counterweight to the tip, dark edged so it reads on any face
  cairo_move_to(cr, -3.2, -2.2);
  cairo_line_to(cr, length, -0.6);
  cairo_line_to(cr, length, 0.6);
  cairo_line_to(cr, -3.2, 2.2);
  cairo_close_path(cr);
  SetColour(cr, Hex(0x200400));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* blade = cairo_pattern_create_linear(0, -2, 0, 2);
  AddStop(blade, 0, Hex(0xFFB080));
  AddStop(blade, 0.45, Hex(0xFF3A10));
  AddStop(blade, 1, Hex(0xA01000));
  cairo_set_source(cr, blade);
  cairo_fill(cr);
  cairo_pattern_destroy(blade);
  cairo_arc(cr, 0, 0, 2.8, 0, 2 * M_PI);
  SetColour(cr, Hex(0x101418));
  cairo_fill(cr);
  cairo_arc(cr, -0.6, -0.6, 1.6, 0, 2 * M_PI);
  SetColour(cr, Hex(0xC8D0DA));
  cairo_fill(cr);
  return canvas.ToBitmap();
}

// Indicator pictures sit on the bonus window's dark glass; their own background is keyed out.
Bitmap Indicator(int width, int height, const std::string& caption, Rgb colour, int icon) {
  Canvas canvas(width, height);
  cairo_t* cr = canvas.Context();
  TextStyle text;
  text.Size = 9;
  text.StretchX = 0.85;
  text.Fill = colour;
  text.FillBottom = Shade(colour, -0.35);
  text.Gradient = true;
  text.Outline = Hex(0x02060A);
  text.OutlineWidth = 1;
  if (icon == 0) {
    DrawText(cr, caption, width / 2.0, height / 2.0 + 4, text, Align::Centre);
    return canvas.ToBitmap();
  }
  const double iconX = 12;
  if (icon == 1) {
    cairo_save(cr);
    cairo_translate(cr, iconX, height / 2.0);
    cairo_scale(cr, 0.7, 0.7);
    DrawGunIcon(cr, 0, 0);
    cairo_restore(cr);
  } else if (icon == 2) {
    cairo_save(cr);
    cairo_translate(cr, iconX, height / 2.0);
    cairo_scale(cr, 0.75, 0.75);
    DrawTurboIcon(cr, 0, 0);
    cairo_restore(cr);
  } else {
    // a flat tyre: squashed, with a warning mark
    EllipsePath(cr, iconX, height / 2.0 + 2, 9, 7);
    SetColour(cr, Hex(0x141416));
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x6A6E74));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    EllipsePath(cr, iconX, height / 2.0 + 2, 4, 3);
    SetColour(cr, Hex(0xB8C0C8));
    cairo_fill(cr);
    cairo_move_to(cr, iconX + 4, height / 2.0 - 9);
    cairo_line_to(cr, iconX + 10, height / 2.0 + 1);
    cairo_line_to(cr, iconX - 2, height / 2.0 + 1);
    cairo_close_path(cr);
    SetColour(cr, Hex(0xFFC800));
    cairo_fill_preserve(cr);
    SetColour(cr, Hex(0x201000));
    cairo_stroke(cr);
  }
  // the caption takes the room right of the icon, condensed until it fits
  const double room = width - (iconX + 11) - 1;
  const double natural = TextWidth(cr, caption, text);
  if (natural > room) text.StretchX *= room / natural;
  DrawText(cr, caption, iconX + 11 + room / 2, height / 2.0 + 4, text, Align::Centre);
  return canvas.ToBitmap();
}

Bitmap Banner(const std::string& title, const std::string& subtitle) {
  const int width = 400;
  const int height = 120;
  Canvas canvas(width, height);
  cairo_t* cr = canvas.Context();
  MetalPlate(cr, 0, 0, width, height, 10, Hex(0x2C3648), 3);
  // warning stripes along top and bottom
  for (const double y : {6.0, height - 16.0}) {
    HazardStripes(cr, 12, y, width - 24, 10, 8, Hex(0xFFC000), Hex(0x141414));
    cairo_rectangle(cr, 12.5, y + 0.5, width - 25, 9);
    SetColour(cr, Hex(0x0A0A0A));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  InsetWell(cr, 14, 20, width - 28, height - 40, 6, Hex(0x101824));
  Glow(cr, 60, 44, width - 120, 24, 10, Hex(0xFF6010), 14, 0.5);
  TextStyle big;
  big.Size = 42;
  big.StretchX = 0.86;
  big.Fill = Hex(0xFFF8C0);
  big.FillBottom = Hex(0xFF5A00);
  big.Gradient = true;
  big.Outline = Hex(0x1A0400);
  big.OutlineWidth = 2;
  big.ShadowX = 2;
  big.ShadowY = 3;
  DrawText(cr, title, width / 2.0, 72, big, Align::Centre);
  TextStyle small = PanelLabelStyle(13);
  DrawText(cr, subtitle, width / 2.0, 94, small, Align::Centre);
  return canvas.ToBitmap();
}

}  // namespace

std::vector<ImageItemData> HudItems() {
  return {
      OpaqueItem("LeftPanel", LeftPanel()),
      OpaqueItem("RightPanel", RightPanel()),
      KeyedItem("Pointer", Needle()),
      KeyedItem("None", Indicator(46, 28, "NONE", Hex(0x6A8AA6), 0)),
      KeyedItem("Drifting", Indicator(52, 28, "FLAT", Hex(0xFF6A40), 3)),
      KeyedItem("GunSmall", Indicator(44, 26, "GUN", Hex(0x9CFF8A), 1)),
      KeyedItem("TurboSmall", Indicator(44, 26, "TURBO", Hex(0xFFD040), 2)),
      KeyedItem("TimeIsOverNB", Banner("TIME IS OVER", "THE CLOCK BEAT YOU: ONE LIFE LOST")),
      KeyedItem("GameOverNB", Banner("GAME OVER", "NO LIVES LEFT")),
  };
}

}  // namespace rivoltra::pictures
