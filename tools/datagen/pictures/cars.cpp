#include "pictures/cars.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "pictures/shading.h"
#include "pictures/typeface.h"

namespace rivoltra::pictures {

namespace {

using Outline = std::vector<std::pair<double, double>>;  // (length fraction, half-width fraction)

struct ShapeDetails {
  Outline Body;
  std::vector<double> Axles;  // length fractions
  double WheelLength;         // fraction of the length
  double WheelWidth;          // fraction of the width
  // glasshouse, as length fractions from the nose, and its half-widths
  double Windscreen;
  double RoofFront;
  double RoofBack;
  double RearWindow;
  double GlassFrontHalf;
  double GlassHalf;
  double GlassRearHalf;
  bool Spoiler = false;
  bool Scoop = false;
  bool RoofLights = false;
};

const ShapeDetails& DetailsOf(CarShape shape) {
  static const std::array<ShapeDetails, 10> kTable = {{
      // wedge sports car
      {{{0, 0.60},
        {0.03, 0.82},
        {0.1, 0.93},
        {0.25, 0.97},
        {0.45, 1.0},
        {0.75, 1.0},
        {0.92, 0.98},
        {0.99, 0.9},
        {1.0, 0.84}},
       {0.2, 0.78},
       0.16,
       0.16,
       0.34,
       0.47,
       0.66,
       0.79,
       0.58,
       0.74,
       0.64,
       true,
       false,
       false},
      // grand tourer
      {{{0, 0.68},
        {0.04, 0.88},
        {0.12, 0.96},
        {0.3, 0.98},
        {0.5, 0.95},
        {0.75, 1.0},
        {0.93, 0.97},
        {1.0, 0.86}},
       {0.2, 0.79},
       0.15,
       0.15,
       0.3,
       0.43,
       0.64,
       0.8,
       0.62,
       0.76,
       0.66,
       false,
       false,
       false},
      // rally hatch
      {{{0, 0.80}, {0.03, 0.93}, {0.1, 0.98}, {0.5, 1.0}, {0.9, 1.0}, {0.98, 0.96}, {1.0, 0.9}},
       {0.19, 0.8},
       0.16,
       0.17,
       0.25,
       0.35,
       0.8,
       0.9,
       0.7,
       0.8,
       0.74,
       true,
       false,
       true},
      // muscle car
      {{{0, 0.76}, {0.03, 0.92}, {0.1, 0.98}, {0.5, 1.0}, {0.85, 1.0}, {0.97, 0.97}, {1.0, 0.9}},
       {0.19, 0.8},
       0.15,
       0.17,
       0.42,
       0.53,
       0.71,
       0.81,
       0.66,
       0.78,
       0.7,
       true,
       true,
       false},
      // hatchback
      {{{0, 0.78}, {0.05, 0.94}, {0.15, 0.99}, {0.6, 1.0}, {0.92, 0.99}, {1.0, 0.9}},
       {0.2, 0.8},
       0.16,
       0.16,
       0.28,
       0.4,
       0.8,
       0.92,
       0.7,
       0.82,
       0.76},
      // saloon
      {{{0, 0.78}, {0.04, 0.93}, {0.12, 0.98}, {0.5, 1.0}, {0.9, 1.0}, {0.98, 0.95}, {1.0, 0.88}},
       {0.19, 0.8},
       0.15,
       0.15,
       0.3,
       0.42,
       0.66,
       0.77,
       0.7,
       0.82,
       0.74},
      // van
      {{{0, 0.84}, {0.03, 0.96}, {0.08, 1.0}, {0.98, 1.0}, {1.0, 0.96}},
       {0.16, 0.82},
       0.13,
       0.15,
       0.1,
       0.19,
       0.985,
       0.985,
       0.84,
       0.9,
       0.9},
      // pickup
      {{{0, 0.8}, {0.03, 0.95}, {0.1, 1.0}, {0.97, 1.0}, {1.0, 0.96}},
       {0.18, 0.8},
       0.14,
       0.15,
       0.25,
       0.34,
       0.5,
       0.53,
       0.74,
       0.84,
       0.84},
      // lorry: the cab only; the box is drawn on its own
      {{{0, 0.9}, {0.015, 0.98}, {0.04, 1.0}, {1.0, 1.0}},
       {0.1, 0.76, 0.87},
       0.09,
       0.14,
       0.035,
       0.1,
       0.2,
       0.2,
       0.86,
       0.9,
       0.9},
      // coach
      {{{0, 0.92}, {0.012, 0.98}, {0.03, 1.0}, {0.99, 1.0}, {1.0, 0.97}},
       {0.12, 0.8},
       0.09,
       0.13,
       0.015,
       0.07,
       0.99,
       0.99,
       0.92,
       0.94,
       0.94},
  }};
  return kTable[std::size_t(shape)];
}

// how far the wheels stand out of the body on each side
constexpr double kWheelStandOut = 2;

const std::array<CarModel, 10> kModels = {{
    {"EMBER GT", CarShape::Wedge, 58, 104, Hex(0xD41A14), Hex(0xF4F4F0), true, 1},
    {"TIDE RS", CarShape::Coupe, 60, 108, Hex(0x1C58D8), Hex(0xFFB020), true, 2},
    {"WASP RALLY", CarShape::Rally, 58, 100, Hex(0xF2C200), Hex(0x181818), true, 3},
    {"JADE V8", CarShape::Muscle, 62, 112, Hex(0x0E8A5A), Hex(0xF0D060), true, 4},
    {"", CarShape::Hatch, 54, 88, Hex(0x6DB33F), Rgb{}, false, 0},
    {"", CarShape::Saloon, 58, 102, Hex(0xE8E8E4), Rgb{}, false, 0},
    {"", CarShape::Van, 62, 116, Hex(0x2E4A8C), Rgb{}, false, 0},
    {"", CarShape::Pickup, 62, 112, Hex(0xC8641E), Rgb{}, false, 0},
    {"", CarShape::Lorry, 70, 168, Hex(0xB82020), Rgb{}, false, 0},
    {"", CarShape::Coach, 74, 180, Hex(0xE89A10), Rgb{}, false, 0},
}};

// The outline as points: down the right side, back up the left.
std::vector<std::pair<double, double>> OutlinePoints(const Outline& outline, double left,
                                                     double top, double width, double length) {
  std::vector<std::pair<double, double>> points;
  const double centre = left + width / 2;
  // points on the centre line at both ends keep the curve from overshooting the corners
  points.emplace_back(centre, top + outline.front().first * length);
  for (const auto& [t, half] : outline)
    points.emplace_back(centre + half * width / 2, top + t * length);
  points.emplace_back(centre, top + outline.back().first * length);
  for (auto it = outline.rbegin(); it != outline.rend(); ++it) {
    points.emplace_back(centre - it->second * width / 2, top + it->first * length);
  }
  return points;
}

// The curve bulges a little beyond its points at nose and tail; the margin keeps it inside.
constexpr double kEndMargin = 1.5;

void BodyPath(cairo_t* cr, const ShapeDetails& details, double w, double h) {
  SmoothClosedPath(cr, OutlinePoints(details.Body, 0, kEndMargin, w, h - 2 * kEndMargin));
}

void Wheels(cairo_t* cr, const ShapeDetails& details, double w, double h) {
  const double length = details.WheelLength * h;
  const double width = details.WheelWidth * w;
  for (const double axle : details.Axles) {
    for (const double side : {-1.0, 1.0}) {
      const double x = side < 0 ? 0 : w - width;
      const double y = axle * h - length / 2;
      RoundedRectPath(cr, x, y, width, length, width * 0.3);
      SetColour(cr, Hex(0x16161A));
      cairo_fill(cr);
      // tread catching the light on the outer shoulder
      cairo_rectangle(cr, side < 0 ? x + 0.6 : x + width - 1.6, y + 1.5, 1, length - 3);
      SetColour(cr, Hex(0x4A4A52));
      cairo_fill(cr);
    }
  }
}

// Paint shaded across the body like a rounded surface lit from the left.
void PaintBody(cairo_t* cr, Rgb body, double w) {
  cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, w, 0);
  AddStop(across, 0.0, Shade(body, -0.35));
  AddStop(across, 0.12, Shade(body, 0.1));
  AddStop(across, 0.3, Shade(body, 0.38));
  AddStop(across, 0.5, Shade(body, 0.05));
  AddStop(across, 0.82, Shade(body, -0.22));
  AddStop(across, 1.0, Shade(body, -0.55));
  cairo_set_source(cr, across);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(across);
}

void Stripes(cairo_t* cr, const CarModel& model, double w, double h) {
  const double stripe = w * 0.11;
  const double gap = w * 0.05;
  for (const double side : {-1.0, 1.0}) {
    const double x = w / 2 + side * (gap / 2 + stripe / 2) - stripe / 2;
    cairo_rectangle(cr, x, 0, stripe, h);
  }
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, w, 0);
  AddStop(shade, 0.3, Shade(model.Stripe, 0.2));
  AddStop(shade, 0.7, Shade(model.Stripe, -0.2));
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
}

void Glasshouse(cairo_t* cr, const CarModel& model, const ShapeDetails& details, double w,
                double h) {
  const Outline cabin = {{details.Windscreen, details.GlassFrontHalf},
                         {details.RoofFront, details.GlassHalf},
                         {details.RoofBack, details.GlassHalf},
                         {details.RearWindow, details.GlassRearHalf}};
  cairo_save(cr);
  SmoothClosedPath(cr, OutlinePoints(cabin, 0, 0, w, h));
  cairo_pattern_t* glass =
      cairo_pattern_create_linear(0, details.Windscreen * h, w * 0.3, details.RearWindow * h);
  AddStop(glass, 0, Hex(0x7E9CBE));
  AddStop(glass, 0.3, Hex(0x34486A));
  AddStop(glass, 1, Hex(0x141C2C));
  cairo_set_source(cr, glass);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glass);
  SetColour(cr, Shade(model.Body, -0.7));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke_preserve(cr);
  cairo_clip(cr);
  // sky reflected on the windscreen
  cairo_move_to(cr, w * 0.15, details.RoofFront * h);
  cairo_line_to(cr, w * 0.45, details.Windscreen * h - 2);
  cairo_line_to(cr, w * 0.62, details.Windscreen * h - 2);
  cairo_line_to(cr, w * 0.32, details.RoofFront * h);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.85, 0.93, 1.0, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);

  // roof panel, leaving the side windows as dark strips
  const double roofTop = details.RoofFront * h + 0.5;
  const double roofBottom = details.RoofBack * h - 0.5;
  if (roofBottom - roofTop < 2) return;
  const double roofHalf = details.GlassHalf * w / 2 - std::max(2.0, w * 0.06);
  RoundedRectPath(cr, w / 2 - roofHalf, roofTop, roofHalf * 2, roofBottom - roofTop, w * 0.08);
  cairo_save(cr);
  PaintBody(cr, Shade(model.Body, 0.06), w);
  cairo_clip(cr);
  if (model.Stripes) Stripes(cr, model, w, h);
  cairo_restore(cr);
  cairo_new_path(cr);
}

void Lights(cairo_t* cr, const ShapeDetails& details, double w, double h) {
  const double front = details.Body.front().second;
  const double rear = details.Body.back().second;
  for (const double side : {-1.0, 1.0}) {
    // headlights: white-hot centre in a pale yellow lens
    const double hx = w / 2 + side * w * front * 0.36;
    EllipsePath(cr, hx, h * 0.035 + 1.2, w * 0.09, 1.8);
    SetColour(cr, Hex(0xFFF4B0));
    cairo_fill(cr);
    EllipsePath(cr, hx - 0.5, h * 0.035 + 1.0, w * 0.045, 0.9);
    SetColour(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
    // tail lights
    const double tx = w / 2 + side * w * rear * 0.36;
    RoundedRectPath(cr, tx - w * 0.09, h - 3.4, w * 0.18, 2.4, 1);
    SetColour(cr, Hex(0xE01810));
    cairo_fill(cr);
    cairo_rectangle(cr, tx - w * 0.05, h - 3.0, w * 0.06, 0.9);
    SetColour(cr, Hex(0xFF8A70));
    cairo_fill(cr);
  }
}

void RoofNumber(cairo_t* cr, const CarModel& model, const ShapeDetails& details, double w,
                double h) {
  const double cy = (details.RoofFront + details.RoofBack) / 2 * h;
  const double radius = w * 0.17;
  cairo_arc(cr, w / 2, cy, radius, 0, 2 * M_PI);
  SetColour(cr, Hex(0xF8F8F4));
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x202020));
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
  TextStyle digit;
  digit.Size = radius * 1.55;
  digit.Fill = Hex(0x141414);
  DrawText(cr, std::to_string(model.RoofNumber), w / 2, cy + radius * 0.56, digit, Align::Centre);
}

void Extras(cairo_t* cr, const CarModel& model, const ShapeDetails& details, double w, double h) {
  const Rgb dark = Shade(model.Body, -0.6);
  if (details.Scoop) {
    RoundedRectPath(cr, w * 0.38, h * 0.16, w * 0.24, h * 0.14, 2);
    SetColour(cr, Shade(model.Body, -0.25));
    cairo_fill_preserve(cr);
    SetColour(cr, dark);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_rectangle(cr, w * 0.42, h * 0.165, w * 0.16, h * 0.025);
    SetColour(cr, Hex(0x101010));
    cairo_fill(cr);
  }
  if (details.RoofLights) {
    for (int i = 0; i < 4; ++i) {
      const double x = w * (0.26 + 0.16 * i);
      cairo_arc(cr, x, details.RoofFront * h + 3, w * 0.055, 0, 2 * M_PI);
      SetColour(cr, Hex(0x202020));
      cairo_fill(cr);
      cairo_arc(cr, x - 0.3, details.RoofFront * h + 2.7, w * 0.035, 0, 2 * M_PI);
      SetColour(cr, Hex(0xFFF6C8));
      cairo_fill(cr);
    }
  }
  if (details.Spoiler) {
    // the wing spans the tail, on two short posts
    const double y = h * 0.905;
    RoundedRectPath(cr, w * 0.06, y, w * 0.88, h * 0.05, 1.5);
    cairo_pattern_t* wing = cairo_pattern_create_linear(0, y, 0, y + h * 0.05);
    AddStop(wing, 0, Shade(model.Body, 0.3));
    AddStop(wing, 1, Shade(model.Body, -0.45));
    cairo_set_source(cr, wing);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(wing);
    SetColour(cr, dark);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
  if (details.Windscreen < 0.2) return;
  // bonnet creases
  cairo_set_line_width(cr, 0.7);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
  for (const double side : {-1.0, 1.0}) {
    cairo_move_to(cr, w / 2 + side * w * 0.22, h * 0.07);
    cairo_curve_to(cr, w / 2 + side * w * 0.26, h * 0.16, w / 2 + side * w * 0.27,
                   details.Windscreen * h - 6, w / 2 + side * w * 0.26, details.Windscreen * h - 2);
  }
  cairo_stroke(cr);
}

void LorryBox(cairo_t* cr, double w, double h) {
  const double top = h * 0.215;
  const double bottom = h - 1;
  RoundedRectPath(cr, 0.5, top, w - 1, bottom - top, 2);
  cairo_pattern_t* box = cairo_pattern_create_linear(0, 0, w, 0);
  AddStop(box, 0, Hex(0x8C939C));
  AddStop(box, 0.25, Hex(0xE4E8EC));
  AddStop(box, 0.6, Hex(0xB8BEC6));
  AddStop(box, 1, Hex(0x646A74));
  cairo_set_source(cr, box);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(box);
  SetColour(cr, Hex(0x22262C));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // roof ribs
  cairo_set_line_width(cr, 1);
  for (double y = top + 8; y < bottom - 4; y += 9) {
    cairo_move_to(cr, 3, y + 0.5);
    cairo_line_to(cr, w - 3, y + 0.5);
  }
  cairo_set_source_rgba(cr, 0.1, 0.12, 0.16, 0.35);
  cairo_stroke(cr);
  // a red band along both sides
  for (const double x : {3.0, w - 7.0}) {
    cairo_rectangle(cr, x, top + 4, 4, bottom - top - 8);
  }
  SetColour(cr, Hex(0xC02A20));
  cairo_fill(cr);
  // rear doors and lamps
  cairo_rectangle(cr, 4, bottom - 4, w - 8, 2);
  SetColour(cr, Hex(0x2C3038));
  cairo_fill(cr);
}

void CoachDetails(cairo_t* cr, const CarModel& model, double w, double h) {
  // side windows in rows along both flanks, under the roof's overhang
  for (const double x : {2.5, w - 7.5}) {
    for (double y = h * 0.1; y < h * 0.93; y += 16) {
      RoundedRectPath(cr, x, y, 5, 13, 1);
      SetColour(cr, Hex(0x182436));
      cairo_fill(cr);
    }
  }
  // roof: a lighter panel with vents and an air-conditioning pod
  RoundedRectPath(cr, 9, h * 0.09, w - 18, h * 0.88, 4);
  PaintBody(cr, Shade(model.Body, 0.12), w);
  cairo_new_path(cr);
  for (double y = h * 0.22; y < h * 0.9; y += h * 0.22) {
    RoundedRectPath(cr, w / 2 - 9, y, 18, 10, 2);
    SetColour(cr, Shade(model.Body, -0.3));
    cairo_fill(cr);
    for (int slot = 0; slot < 3; ++slot) {
      cairo_rectangle(cr, w / 2 - 7, y + 2 + slot * 2.6, 14, 1.2);
    }
    SetColour(cr, Shade(model.Body, -0.6));
    cairo_fill(cr);
  }
  RoundedRectPath(cr, w / 2 - 13, h * 0.5, 26, h * 0.12, 3);
  SetColour(cr, Hex(0xD8DCE0));
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x505458));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

void PickupBed(cairo_t* cr, const CarModel& model, double w, double h) {
  const double top = h * 0.56;
  const double bottom = h * 0.95;
  RoundedRectPath(cr, w * 0.12, top, w * 0.76, bottom - top, 2);
  SetColour(cr, Hex(0x2A2420));
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.4);
  for (int rib = 1; rib < 5; ++rib) {
    const double x = w * 0.12 + w * 0.76 * rib / 5;
    cairo_move_to(cr, x, top + 2);
    cairo_line_to(cr, x, bottom - 2);
  }
  SetColour(cr, Hex(0x4A423A));
  cairo_stroke(cr);
  // a crate in the bed
  RoundedRectPath(cr, w * 0.3, top + 6, w * 0.34, h * 0.12, 1);
  SetColour(cr, Hex(0xB08850));
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x5A4020));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  (void)model;
}

}  // namespace

const CarModel& CarModelOf(int number) { return kModels.at(std::size_t(number - 1)); }

Rgb TurboColourOf(int number) {
  static const std::array<Rgb, 4> kColours = {Hex(0xE02818), Hex(0x2A70FF), Hex(0xFFD000),
                                              Hex(0xE02818)};
  return kColours.at(std::size_t(number - 1));
}

const char* TurboColourName(int number) {
  static const std::array<const char*, 4> kNames = {"RED", "BLUE", "YELLOW", "RED"};
  return kNames.at(std::size_t(number - 1));
}

void DrawCar(cairo_t* cr, const CarModel& model, double x, double y, double scale,
             bool facingDown) {
  const ShapeDetails& details = DetailsOf(model.Shape);
  double w = model.Width;
  const double h = model.Height;
  const bool lorry = model.Shape == CarShape::Lorry;
  const double cabLength = lorry ? h * 0.2 : h;

  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);

  // the shadow stays to the lower right whichever way the car faces
  cairo_save(cr);
  cairo_translate(cr, kCarShadowX, kCarShadowY);
  RoundedRectPath(cr, 1, 2, w - 2, h - 3, w * 0.25);
  SetColour(cr, Hex(0x141418));
  cairo_fill(cr);
  cairo_restore(cr);

  if (facingDown) {
    // cars are mirror-symmetric, so flipping nose and tail turns the car round while the
    // light keeps coming from the left
    cairo_translate(cr, 0, h);
    cairo_scale(cr, 1, -1);
  }
  Wheels(cr, details, w, h);
  // the body sits between the wheels' outer shoulders
  cairo_translate(cr, kWheelStandOut, 0);
  w -= 2 * kWheelStandOut;
  if (lorry) LorryBox(cr, w, h);
  cairo_save(cr);
  BodyPath(cr, details, w, cabLength);
  PaintBody(cr, model.Body, w);
  cairo_clip(cr);
  if (model.Stripes) Stripes(cr, model, w, h);
  Glasshouse(cr, model, details, w, h);
  if (model.Shape == CarShape::Pickup) PickupBed(cr, model, w, h);
  if (model.Shape == CarShape::Coach) CoachDetails(cr, model, w, h);
  Extras(cr, model, details, w, h);
  if (!lorry) Lights(cr, details, w, h);
  cairo_restore(cr);
  if (lorry) Lights(cr, details, w, h);
  if (model.RoofNumber > 0) RoofNumber(cr, model, details, w, h);

  // outline, and top light falling on the nose whichever way it points
  BodyPath(cr, details, w, cabLength);
  SetColour(cr, Shade(model.Body, -0.82));
  cairo_set_line_width(cr, 1.1);
  cairo_stroke(cr);
  cairo_restore(cr);

  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  if (facingDown) {
    cairo_translate(cr, 0, h);
    cairo_scale(cr, 1, -1);
  }
  cairo_translate(cr, kWheelStandOut, 0);
  BodyPath(cr, details, w, cabLength);
  cairo_identity_matrix(cr);
  cairo_pattern_t* light = cairo_pattern_create_linear(0, y, 0, y + h * scale);
  cairo_pattern_add_color_stop_rgba(light, 0, 1, 1, 1, 0.10);
  cairo_pattern_add_color_stop_rgba(light, 0.5, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(light, 1, 0, 0, 0, 0.12);
  cairo_set_source(cr, light);
  cairo_fill(cr);
  cairo_pattern_destroy(light);
  cairo_restore(cr);
}

std::vector<ImageItemData> RaceCarItems() {
  std::vector<ImageItemData> items;
  auto carBitmap = [](const CarModel& model, bool facingDown) {
    Canvas canvas(model.Width + kCarShadowX, model.Height + kCarShadowY);
    DrawCar(canvas.Context(), model, 0, 0, 1.0, facingDown);
    return canvas.ToBitmap();
  };
  for (int number = 1; number <= 10; ++number) {
    items.push_back(
        KeyedItem("Car" + std::to_string(number), carBitmap(CarModelOf(number), false)));
  }
  for (int number = 5; number <= 10; ++number) {
    items.push_back(
        KeyedItem("Car" + std::to_string(number) + "_Inv", carBitmap(CarModelOf(number), true)));
  }

  // progress marker: a small amber car on the right panel's track
  Canvas marker(14, 22);
  cairo_t* cr = marker.Context();
  RoundedRectPath(cr, 0.5, 3, 2.5, 5, 1);
  RoundedRectPath(cr, 11, 3, 2.5, 5, 1);
  RoundedRectPath(cr, 0.5, 14, 2.5, 5, 1);
  RoundedRectPath(cr, 11, 14, 2.5, 5, 1);
  SetColour(cr, Hex(0x101014));
  cairo_fill(cr);
  RoundedRectPath(cr, 1.5, 0.5, 11, 21, 4);
  cairo_pattern_t* paint = cairo_pattern_create_linear(1.5, 0, 12.5, 0);
  AddStop(paint, 0, Hex(0xFFE080));
  AddStop(paint, 0.4, Hex(0xFFB020));
  AddStop(paint, 1, Hex(0xB85A00));
  cairo_set_source(cr, paint);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(paint);
  SetColour(cr, Hex(0x2A1400));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  RoundedRectPath(cr, 3.5, 6, 7, 4, 1);
  RoundedRectPath(cr, 3.5, 15, 7, 3, 1);
  SetColour(cr, Hex(0x1A2434));
  cairo_fill(cr);
  items.push_back(KeyedItem("CarSmall", marker.ToBitmap()));
  return items;
}

}  // namespace rivoltra::pictures
