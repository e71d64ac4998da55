#include "pictures/menu_widgets.h"

#include <cmath>

#include "pictures/shading.h"

namespace rivoltra::pictures {

void FramedScreen(cairo_t* cr, double x, double y, double width, double height) {
  MetalPlate(cr, x, y, width, height, 10, Hex(0x4A5870), 3);
  const double inset = 8;
  const double sx = x + inset;
  const double sy = y + inset;
  const double sw = width - 2 * inset;
  const double sh = height - 2 * inset;
  InsetWell(cr, sx, sy, sw, sh, 6, Hex(0x14203A));
  // a faint grid on the screen, like a race engineer's monitor
  cairo_save(cr);
  RoundedRectPath(cr, sx + 2, sy + 2, sw - 4, sh - 4, 5);
  cairo_clip(cr);
  cairo_set_line_width(cr, 1);
  for (double gx = sx + 12; gx < sx + sw; gx += 24) {
    cairo_move_to(cr, std::floor(gx) + 0.5, sy);
    cairo_line_to(cr, std::floor(gx) + 0.5, sy + sh);
  }
  for (double gy = sy + 12; gy < sy + sh; gy += 24) {
    cairo_move_to(cr, sx, std::floor(gy) + 0.5);
    cairo_line_to(cr, sx + sw, std::floor(gy) + 0.5);
  }
  cairo_set_source_rgba(cr, 0.45, 0.7, 1.0, 0.06);
  cairo_stroke(cr);
  // light falling in from the upper left
  cairo_pattern_t* light = cairo_pattern_create_linear(sx, sy, sx + sw * 0.6, sy + sh);
  cairo_pattern_add_color_stop_rgba(light, 0, 1, 1, 1, 0.07);
  cairo_pattern_add_color_stop_rgba(light, 1, 1, 1, 1, 0);
  cairo_set_source(cr, light);
  cairo_paint(cr);
  cairo_pattern_destroy(light);
  cairo_restore(cr);
  for (const double px : {x + 5, x + width - 5}) {
    for (const double py : {y + 5, y + height - 5}) Screw(cr, px, py, 2.2);
  }
}

TextStyle TitleStyle(double size) {
  TextStyle style;
  style.Size = size;
  style.StretchX = 0.9;
  style.Fill = Hex(0xFFF8C8);
  style.FillBottom = Hex(0xFF7000);
  style.Gradient = true;
  style.Outline = Hex(0x1E0600);
  style.OutlineWidth = std::max(1.0, size / 16);
  style.ShadowX = 1;
  style.ShadowY = std::max(1.0, size / 12);
  return style;
}

TextStyle BodyStyle(double size) {
  TextStyle style;
  style.Weight = Face::Regular;
  style.Size = size;
  style.Hinted = true;
  style.Fill = Hex(0xDCE6F2);
  style.Shadow = Hex(0x02040A);
  style.ShadowX = 1;
  style.ShadowY = 1;
  return style;
}

TextStyle LabelStyle(double size) {
  TextStyle style;
  style.Size = size;
  style.StretchX = 0.95;
  style.Fill = Hex(0xF4F8FC);
  style.FillBottom = Hex(0x98A6B8);
  style.Gradient = true;
  style.Outline = Hex(0x080C12);
  style.OutlineWidth = 1;
  return style;
}

TextStyle AccentStyle(double size) {
  TextStyle style = BodyStyle(size);
  style.Weight = Face::Bold;
  style.Fill = Hex(0xFFC84A);
  return style;
}

namespace {

void Icon(cairo_t* cr, ButtonIcon icon, double cx, double cy, Rgb colour) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  switch (icon) {
    case ButtonIcon::None:
      break;
    case ButtonIcon::ArrowLeft:
    case ButtonIcon::ArrowRight: {
      const double d = icon == ButtonIcon::ArrowLeft ? -1 : 1;
      cairo_move_to(cr, -d * 5, -7);
      cairo_line_to(cr, d * 6, 0);
      cairo_line_to(cr, -d * 5, 7);
      cairo_close_path(cr);
      break;
    }
    case ButtonIcon::Trash:
      cairo_rectangle(cr, -6, -4, 12, 12);
      cairo_move_to(cr, -8, -6);
      cairo_line_to(cr, 8, -6);
      cairo_move_to(cr, -2, -8);
      cairo_line_to(cr, 2, -8);
      break;
    case ButtonIcon::Globe:
      cairo_arc(cr, 0, 0, 8, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      EllipsePath(cr, 0, 0, 3.5, 8);
      cairo_move_to(cr, -8, 0);
      cairo_line_to(cr, 8, 0);
      break;
    case ButtonIcon::Tick:
      cairo_move_to(cr, -7, 0);
      cairo_line_to(cr, -2, 5);
      cairo_line_to(cr, 7, -6);
      break;
    case ButtonIcon::Cross:
      cairo_move_to(cr, -6, -6);
      cairo_line_to(cr, 6, 6);
      cairo_move_to(cr, 6, -6);
      cairo_line_to(cr, -6, 6);
      break;
  }
  const bool filled = icon == ButtonIcon::ArrowLeft || icon == ButtonIcon::ArrowRight;
  // a dark edge under the stroke keeps the icon crisp on both looks
  SetColour(cr, Hex(0x0A0C10));
  cairo_set_line_width(cr, 4.2);
  cairo_stroke_preserve(cr);
  SetColour(cr, colour);
  cairo_set_line_width(cr, 2.2);
  if (filled) {
    cairo_fill(cr);
  } else {
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

}  // namespace

void DrawButton(cairo_t* cr, double width, double height, const std::string& text, ButtonIcon icon,
                bool highlighted) {
  const double radius = 7;
  if (highlighted) {
    // lit: a hot amber plate with a white-gold rim
    RoundedRectPath(cr, 0, 0, width, height, radius);
    SetColour(cr, Hex(0x2A0C00));
    cairo_fill(cr);
    RoundedRectPath(cr, 1, 1, width - 2, height - 2, radius - 1);
    cairo_pattern_t* rim = VerticalGradient(0, height, Hex(0xFFF6C0), Hex(0xFFB020), Hex(0xA04000));
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    RoundedRectPath(cr, 3.5, 3.5, width - 7, height - 7, radius - 3);
    cairo_pattern_t* face =
        VerticalGradient(3, height - 3, Hex(0xFFB838), Hex(0xF07A08), Hex(0xB84800));
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    RoundedRectPath(cr, 5, 4.5, width - 10, (height - 9) * 0.45, radius - 4);
    cairo_set_source_rgba(cr, 1, 1, 0.9, 0.3);
    cairo_fill(cr);
  } else {
    MetalPlate(cr, 0, 0, width, height, radius, Hex(0x46546A), 2.5);
  }
  TextStyle style;
  style.Size = std::min(18.0, height * 0.4);
  style.StretchX = 0.92;
  if (highlighted) {
    style.Fill = Hex(0xFFFFFF);
    style.FillBottom = Hex(0xFFF0C0);
    style.Outline = Hex(0x3A1000);
  } else {
    style.Fill = Hex(0xF0F4F8);
    style.FillBottom = Hex(0x8C98AA);
    style.Outline = Hex(0x0A0E14);
  }
  style.Gradient = true;
  style.OutlineWidth = 1.3;
  style.ShadowX = 1;
  style.ShadowY = 1.5;
  style.Shadow = highlighted ? Hex(0x6A2000) : Hex(0x000000);
  const double iconRoom = icon == ButtonIcon::None ? 0 : 24;
  const double room = width - 16 - iconRoom;
  const double natural = TextWidth(cr, text, style);
  if (natural > room) style.StretchX *= room / natural;
  const double textWidth = TextWidth(cr, text, style);
  const double baseline = height / 2 + CapHeight(cr, style) / 2;
  const Rgb iconColour = highlighted ? Hex(0xFFFFFF) : Hex(0xC8D2DE);
  if (icon == ButtonIcon::ArrowRight) {
    // the arrow points on, after the word
    const double left = (width - textWidth - iconRoom) / 2;
    DrawText(cr, text, left, baseline, style);
    Icon(cr, icon, left + textWidth + iconRoom / 2 + 2, height / 2, iconColour);
  } else {
    const double left = (width - textWidth - iconRoom) / 2 + iconRoom;
    if (icon != ButtonIcon::None) Icon(cr, icon, left - iconRoom / 2 - 2, height / 2, iconColour);
    DrawText(cr, text, left, baseline, style);
  }
}

Bitmap TwoLookButton(int width, int height, const std::string& text, ButtonIcon icon) {
  std::vector<Bitmap> looks;
  for (const bool highlighted : {false, true}) {
    Canvas canvas(width, height);
    DrawButton(canvas.Context(), width, height, text, icon, highlighted);
    looks.push_back(canvas.ToBitmap());
  }
  return StackVertically(looks);
}

void Lamp(cairo_t* cr, double cx, double cy, double radius, Rgb colour, bool lit) {
  cairo_arc(cr, cx, cy, radius + 1.2, 0, 2 * M_PI);
  SetColour(cr, Hex(0x0A0C10));
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_pattern_t* glass =
      cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.35, 0.3, cx, cy, radius);
  if (lit) {
    AddStop(glass, 0, Hex(0xFFFFFF));
    AddStop(glass, 0.4, Shade(colour, 0.3));
    AddStop(glass, 1, Shade(colour, -0.3));
  } else {
    AddStop(glass, 0, Shade(colour, -0.2));
    AddStop(glass, 0.5, Shade(colour, -0.65));
    AddStop(glass, 1, Shade(colour, -0.85));
  }
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
}

void KeyCap(cairo_t* cr, const std::string& key, double x, double y, double w) {
  RoundedRectPath(cr, x, y, w, 16, 3);
  SetColour(cr, Hex(0x0C0E12));
  cairo_fill(cr);
  RoundedRectPath(cr, x + 1, y + 1, w - 2, 13, 2.5);
  cairo_pattern_t* cap = VerticalGradient(y, y + 14, Hex(0xF4F6F8), Hex(0xC8CED6), Hex(0x8A94A0));
  cairo_set_source(cr, cap);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);
  TextStyle style;
  // a lone letter or arrow can be larger than a key's name
  const bool arrow = key.rfind("\xE2\x86", 0) == 0;
  style.Size = arrow ? 12.5 : (key.size() == 1 ? 10.5 : 8.5);
  style.Fill = Hex(0x1A1E24);
  DrawText(cr, key, x + w / 2, y + 11, style, Align::Centre);
}

void Trophy(cairo_t* cr, double cx, double cy, double size, Rgb metal) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, size / 20, size / 20);
  cairo_new_path(cr);
  // cup
  cairo_move_to(cr, -7, -9);
  cairo_line_to(cr, 7, -9);
  cairo_curve_to(cr, 7, -1, 4, 3, 0, 3);
  cairo_curve_to(cr, -4, 3, -7, -1, -7, -9);
  cairo_close_path(cr);
  // stem and foot
  cairo_rectangle(cr, -1.5, 3, 3, 4);
  RoundedRectPath(cr, -5.5, 7, 11, 3, 1);
  cairo_pattern_t* gold = cairo_pattern_create_linear(-7, 0, 7, 0);
  AddStop(gold, 0, Shade(metal, -0.3));
  AddStop(gold, 0.3, Shade(metal, 0.6));
  AddStop(gold, 0.6, metal);
  AddStop(gold, 1, Shade(metal, -0.5));
  cairo_set_source(cr, gold);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(gold);
  SetColour(cr, Shade(metal, -0.8));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // handles
  for (const double side : {-1.0, 1.0}) {
    cairo_arc(cr, side * 7.5, -5, 3, side < 0 ? M_PI / 2 : -M_PI / 2,
              side < 0 ? 3 * M_PI / 2 : M_PI / 2);
    SetColour(cr, Shade(metal, -0.8));
    cairo_set_line_width(cr, 2.6);
    cairo_stroke_preserve(cr);
    SetColour(cr, metal);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

}  // namespace rivoltra::pictures
