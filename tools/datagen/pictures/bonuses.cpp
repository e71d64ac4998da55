#include "pictures/bonuses.h"

#include <cmath>
#include <string>

#include "pictures/cars.h"
#include "pictures/noise.h"
#include "pictures/shading.h"
#include "pictures/typeface.h"

namespace rivoltra::pictures {

namespace {

struct TokenLook {
  Rgb Rim;
  Rgb Face;
  const char* Label;  // nullptr: an icon instead
};

TokenLook LookOf(Bonus bonus) {
  const Rgb gold = Hex(0xF0B820);
  const Rgb chrome = Hex(0xC8D4E4);
  switch (bonus) {
    case Bonus::Points10:
      return {gold, Hex(0x22A040), "10"};
    case Bonus::Points20:
      return {gold, Hex(0x2260D0), "20"};
    case Bonus::Points50:
      return {gold, Hex(0xE04A10), "50"};
    case Bonus::Points100:
      return {gold, Hex(0x7A2CC8), "100"};
    case Bonus::Gun:
      return {chrome, Hex(0xB01818), nullptr};
    case Bonus::Turbo:
      return {chrome, Hex(0x1038A0), nullptr};
    case Bonus::Life:
      return {chrome, Hex(0xF4F0EC), nullptr};
  }
  return {};
}

void Sparkle(cairo_t* cr, double x, double y, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_move_to(cr, 0, -size);
  cairo_line_to(cr, size * 0.22, -size * 0.22);
  cairo_line_to(cr, size, 0);
  cairo_line_to(cr, size * 0.22, size * 0.22);
  cairo_line_to(cr, 0, size);
  cairo_line_to(cr, -size * 0.22, size * 0.22);
  cairo_line_to(cr, -size, 0);
  cairo_line_to(cr, -size * 0.22, -size * 0.22);
  cairo_close_path(cr);
  SetColour(cr, Hex(0xFFFFFF));
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawToken(cairo_t* cr, Bonus bonus, int frame) {
  const TokenLook look = LookOf(bonus);
  const double c = kTokenSize / 2.0;
  const double phase = double(frame) / kTokenFrames;
  // the halo breathes: brightest at the start of the cycle
  const double pulse = 0.5 + 0.5 * std::cos(2 * M_PI * phase);
  cairo_arc(cr, c, c, c - 0.5, 0, 2 * M_PI);
  SetColour(cr, Mix(Shade(look.Face, -0.3), Shade(look.Rim, 0.5), 0.3 + 0.5 * pulse));
  cairo_fill(cr);
  cairo_arc(cr, c, c, c - 2, 0, 2 * M_PI);
  SetColour(cr, Hex(0x141008));
  cairo_fill(cr);

  // metal rim, lit from the top left
  cairo_arc(cr, c, c, c - 2.8, 0, 2 * M_PI);
  cairo_pattern_t* rim = cairo_pattern_create_linear(4, 4, kTokenSize - 4, kTokenSize - 4);
  AddStop(rim, 0, Shade(look.Rim, 0.6));
  AddStop(rim, 0.45, look.Rim);
  AddStop(rim, 1, Shade(look.Rim, -0.55));
  cairo_set_source(cr, rim);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);

  // face, set into the rim
  const double face = c - 6.5;
  cairo_arc(cr, c, c, face + 0.8, 0, 2 * M_PI);
  SetColour(cr, Shade(look.Rim, -0.6));
  cairo_fill(cr);
  cairo_arc(cr, c, c, face, 0, 2 * M_PI);
  cairo_pattern_t* paint =
      cairo_pattern_create_radial(c - face * 0.35, c - face * 0.4, 1, c, c, face * 1.1);
  AddStop(paint, 0, Shade(look.Face, 0.45));
  AddStop(paint, 0.6, look.Face);
  AddStop(paint, 1, Shade(look.Face, -0.4));
  cairo_set_source(cr, paint);
  cairo_fill(cr);
  cairo_pattern_destroy(paint);

  if (look.Label != nullptr) {
    TextStyle label;
    label.Size = std::string(look.Label).size() > 2 ? 12.5 : 15;
    label.StretchX = std::string(look.Label).size() > 2 ? 0.82 : 0.95;
    label.Fill = Hex(0xFFFFFF);
    label.FillBottom = Hex(0xFFE27A);
    label.Gradient = true;
    label.OutlineWidth = 1.2;
    label.Outline = Hex(0x1A1006);
    DrawText(cr, look.Label, c, c + CapHeight(cr, label) / 2, label, Align::Centre);
  } else if (bonus == Bonus::Gun) {
    DrawGunIcon(cr, c + 0.5, c + 0.5);
  } else if (bonus == Bonus::Turbo) {
    DrawTurboIcon(cr, c, c);
  } else {
    DrawHeartIcon(cr, c, c + 0.5, 10);
  }

  // a sweep of light across the face, then a sparkle circling the rim
  cairo_save(cr);
  cairo_arc(cr, c, c, face, 0, 2 * M_PI);
  cairo_clip(cr);
  const double sweep = -face * 1.5 + phase * face * 4;
  cairo_move_to(cr, c + sweep - 4, c - face);
  cairo_line_to(cr, c + sweep + 3, c - face);
  cairo_line_to(cr, c + sweep - 5, c + face);
  cairo_line_to(cr, c + sweep - 12, c + face);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
  const double angle = -M_PI * 0.75 + 2 * M_PI * phase;
  Sparkle(cr, c + std::cos(angle) * (c - 4.5), c + std::sin(angle) * (c - 4.5), 3.5 + pulse);
}

// The gun on the car's roof: twin barrels pointing up the road.
Bitmap MountedGun() {
  Canvas canvas(18, 34);
  cairo_t* cr = canvas.Context();
  for (const double x : {5.0, 13.0}) {
    RoundedRectPath(cr, x - 2, 0.5, 4, 22, 1);
    cairo_pattern_t* barrel = cairo_pattern_create_linear(x - 2, 0, x + 2, 0);
    AddStop(barrel, 0, Hex(0xE6EAF0));
    AddStop(barrel, 0.4, Hex(0x98A2AE));
    AddStop(barrel, 1, Hex(0x3A4048));
    cairo_set_source(cr, barrel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(barrel);
    SetColour(cr, Hex(0x0C0E10));
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    cairo_rectangle(cr, x - 1, 0.8, 2, 1.6);
    SetColour(cr, Hex(0x0C0E10));
    cairo_fill(cr);
  }
  RoundedRectPath(cr, 0.5, 17, 17, 16.5, 5);
  cairo_pattern_t* turret = cairo_pattern_create_radial(6, 21, 1, 9, 25, 12);
  AddStop(turret, 0, Hex(0xB8C0CA));
  AddStop(turret, 0.6, Hex(0x5A626C));
  AddStop(turret, 1, Hex(0x262A30));
  cairo_set_source(cr, turret);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(turret);
  SetColour(cr, Hex(0x0C0E10));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_arc(cr, 9, 26, 2.2, 0, 2 * M_PI);
  SetColour(cr, Hex(0xE02010));
  cairo_fill(cr);
  return canvas.ToBitmap();
}

// Muzzle flashes over both barrels; the frames alternate in size so the fire flickers.
void MuzzleFlash(cairo_t* cr, int frame) {
  static const double kSize[4] = {1.0, 0.65, 0.9, 0.55};
  for (int barrel = 0; barrel < 2; ++barrel) {
    const double x = barrel == 0 ? 10 : 18;  // over the barrels, 5 px in from the gun
    const double size = kSize[(frame + barrel) % 4];
    const double y = 21;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size, size);
    cairo_move_to(cr, 0, -20);
    cairo_line_to(cr, 3, -8);
    cairo_line_to(cr, 8, -11);
    cairo_line_to(cr, 4, -3);
    cairo_line_to(cr, 5, 0);
    cairo_line_to(cr, -5, 0);
    cairo_line_to(cr, -4, -3);
    cairo_line_to(cr, -8, -11);
    cairo_line_to(cr, -3, -8);
    cairo_close_path(cr);
    cairo_pattern_t* flash = cairo_pattern_create_radial(0, -3, 0.5, 0, -6, 16);
    AddStop(flash, 0, Hex(0xFFFFFF));
    AddStop(flash, 0.3, Hex(0xFFF080));
    AddStop(flash, 0.7, Hex(0xFF9A10));
    AddStop(flash, 1, Hex(0xE04000));
    cairo_set_source(cr, flash);
    cairo_fill(cr);
    cairo_restore(cr);
  }
}

// The booster bolted to the car's tail in the car's turbo colour; nozzles point back.
Bitmap Booster(Rgb colour) {
  Canvas canvas(36, 20);
  cairo_t* cr = canvas.Context();
  RoundedRectPath(cr, 4, 1, 28, 11, 3);
  cairo_pattern_t* body =
      VerticalGradient(1, 12, Shade(colour, 0.45), colour, Shade(colour, -0.45));
  cairo_set_source(cr, body);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(body);
  SetColour(cr, Hex(0x100C0C));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  for (const double x : {9.0, 27.0}) {
    // chrome nozzles
    RoundedRectPath(cr, x - 5, 8, 10, 11.5, 2.5);
    cairo_pattern_t* chrome = cairo_pattern_create_linear(x - 5, 0, x + 5, 0);
    AddStop(chrome, 0, Hex(0x5A626C));
    AddStop(chrome, 0.3, Hex(0xF4F8FC));
    AddStop(chrome, 1, Hex(0x3A4048));
    cairo_set_source(cr, chrome);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(chrome);
    SetColour(cr, Hex(0x100C0C));
    cairo_stroke(cr);
    EllipsePath(cr, x, 17, 3, 1.6);
    SetColour(cr, Hex(0x1A1414));
    cairo_fill(cr);
  }
  cairo_rectangle(cr, 14, 3, 8, 2);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_fill(cr);
  return canvas.ToBitmap();
}

// Exhaust flames under the booster's nozzles (nozzle centres 7 and 25 of the flame picture).
void TurboFlame(cairo_t* cr, int frame) {
  Scatter scatter(std::uint32_t(900 + frame));
  for (const double x : {7.0, 25.0}) {
    const double length = 24 + 8 * std::sin(frame * 2.1 + x) + scatter.Range(-2, 2);
    const double width = 5.5 + scatter.Range(-0.8, 0.8);
    cairo_move_to(cr, x - width, 0);
    cairo_curve_to(cr, x - width, length * 0.4, x - 1.5, length * 0.7, x + scatter.Range(-1.5, 1.5),
                   length);
    cairo_curve_to(cr, x + 1.5, length * 0.7, x + width, length * 0.4, x + width, 0);
    cairo_close_path(cr);
    cairo_pattern_t* outer = cairo_pattern_create_linear(0, 0, 0, length);
    AddStop(outer, 0, Hex(0xFFE060));
    AddStop(outer, 0.5, Hex(0xFF7A10));
    AddStop(outer, 1, Hex(0xC02000));
    cairo_set_source(cr, outer);
    cairo_fill(cr);
    const double core = length * 0.55;
    cairo_move_to(cr, x - 2.5, 0);
    cairo_curve_to(cr, x - 2.5, core * 0.5, x - 0.5, core * 0.8, x, core);
    cairo_curve_to(cr, x + 0.5, core * 0.8, x + 2.5, core * 0.5, x + 2.5, 0);
    cairo_close_path(cr);
    cairo_pattern_t* inner = cairo_pattern_create_linear(0, 0, 0, core);
    AddStop(inner, 0, Hex(0xFFFFFF));
    AddStop(inner, 1, Hex(0x9AD8FF));
    cairo_set_source(cr, inner);
    cairo_fill(cr);
    cairo_pattern_destroy(outer);
    cairo_pattern_destroy(inner);
  }
}

}  // namespace

void DrawGunIcon(cairo_t* cr, double cx, double cy) {
  // a machine gun side on, muzzle to the right, in gunmetal
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_new_path(cr);
  cairo_rectangle(cr, -2, -5.5, 14, 3.2);      // barrel
  cairo_rectangle(cr, 10, -6.5, 2.5, 5.2);     // muzzle brake
  RoundedRectPath(cr, -11, -7, 13, 7.5, 1.5);  // receiver
  cairo_move_to(cr, -8, 0);                    // grip
  cairo_line_to(cr, -3, 0);
  cairo_line_to(cr, -5, 8);
  cairo_line_to(cr, -10, 8);
  cairo_close_path(cr);
  cairo_move_to(cr, -13, -6);  // stock
  cairo_line_to(cr, -10, -6);
  cairo_line_to(cr, -10, -1);
  cairo_line_to(cr, -13, 1);
  cairo_close_path(cr);
  cairo_pattern_t* metal = VerticalGradient(-7, 8, Hex(0xF0F4F8), Hex(0x8A949E), Hex(0x3A4048));
  cairo_set_source(cr, metal);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(metal);
  SetColour(cr, Hex(0x0C0E10));
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
  cairo_rectangle(cr, -1, 0.5, 4, 3);  // magazine
  SetColour(cr, Hex(0x2A2E34));
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawTurboIcon(cairo_t* cr, double cx, double cy) {
  // two flame arrows pointing up the road
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  for (const double dy : {3.0, -5.0}) {
    cairo_move_to(cr, -9, dy + 7);
    cairo_line_to(cr, 0, dy - 3);
    cairo_line_to(cr, 9, dy + 7);
    cairo_line_to(cr, 4.5, dy + 7);
    cairo_line_to(cr, 0, dy + 2);
    cairo_line_to(cr, -4.5, dy + 7);
    cairo_close_path(cr);
  }
  cairo_pattern_t* fire = VerticalGradient(-9, 10, Hex(0xFFFCE0), Hex(0xFFC820), Hex(0xFF5A00));
  cairo_set_source(cr, fire);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fire);
  SetColour(cr, Hex(0x401000));
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawHeartIcon(cairo_t* cr, double cx, double cy, double size) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, size / 10, size / 10);
  cairo_move_to(cr, 0, 8);
  cairo_curve_to(cr, -12, 0, -8, -10, 0, -4);
  cairo_curve_to(cr, 8, -10, 12, 0, 0, 8);
  cairo_close_path(cr);
  cairo_restore(cr);
  cairo_pattern_t* red =
      cairo_pattern_create_radial(cx - size * 0.3, cy - size * 0.3, 0.5, cx, cy, size);
  AddStop(red, 0, Hex(0xFF9A90));
  AddStop(red, 0.5, Hex(0xE41C1C));
  AddStop(red, 1, Hex(0x800808));
  cairo_set_source(cr, red);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(red);
  SetColour(cr, Hex(0x400404));
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
}

Bitmap TokenBitmap(Bonus bonus, int frame) {
  Canvas canvas(kTokenSize, kTokenSize);
  DrawToken(canvas.Context(), bonus, frame);
  return canvas.ToBitmap();
}

std::vector<ImageItemData> BonusItems() {
  std::vector<ImageItemData> items;
  const std::pair<const char*, Bonus> tokens[] = {
      {"Bonus10", Bonus::Points10},   {"Bonus20", Bonus::Points20}, {"Bonus50", Bonus::Points50},
      {"Bonus100", Bonus::Points100}, {"BonusGun", Bonus::Gun},     {"BonusTurbo", Bonus::Turbo},
      {"BonusLive", Bonus::Life}};
  for (const auto& [name, bonus] : tokens) {
    const Bonus kind = bonus;
    items.push_back(
        KeyedItem(name,
                  FrameStrip(kTokenSize, kTokenSize, kTokenFrames,
                             [kind](cairo_t* cr, int frame) { DrawToken(cr, kind, frame); }),
                  kTokenSize, kTokenSize));
  }
  items.push_back(KeyedItem("Gun", MountedGun()));
  items.push_back(KeyedItem("GunFire", FrameStrip(28, 22, 4, MuzzleFlash), 28, 22));
  items.push_back(KeyedItem("TurboRed", Booster(TurboColourOf(1))));
  items.push_back(KeyedItem("TurboBlue", Booster(TurboColourOf(2))));
  items.push_back(KeyedItem("TurboYellow", Booster(TurboColourOf(3))));
  items.push_back(KeyedItem("TurboFire", FrameStrip(32, 34, 6, TurboFlame), 32, 34));
  return items;
}

}  // namespace rivoltra::pictures
