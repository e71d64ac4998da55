// The application icon: the red player car on a stretch of road inside a rounded tile, drawn as
// vectors so every size is drawn afresh instead of scaled down from a bitmap, and once more into
// an SVG file for the desktop's scalable slot. The browser page's icons (the installed web app's
// and the phone home screen's) fill their whole square instead: the system cuts its own shape.
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "generator_registry.h"
#include "pictures/art.h"
#include "pictures/cars.h"

namespace rivoltra::pictures {

namespace {

namespace fs = std::filesystem;

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The drawing is laid out on a 256-unit square and scaled to each size.
constexpr double kDesignSize = 256;

void RoundedTile(cairo_t* cr, double x, double y, double size, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + size - radius, y + radius, radius, -1.5708, 0);
  cairo_arc(cr, x + size - radius, y + size - radius, radius, 0, 1.5708);
  cairo_arc(cr, x + radius, y + size - radius, radius, 1.5708, 3.14159);
  cairo_arc(cr, x + radius, y + radius, radius, 3.14159, 4.71239);
  cairo_close_path(cr);
}

void DrawRoad(cairo_t* cr) {
  // Verges, then the tarmac, then the edge lines and the dashed centre line.
  cairo_pattern_t* grass = cairo_pattern_create_linear(0, 0, 0, kDesignSize);
  AddStop(grass, 0, Hex(0x4FA03A));
  AddStop(grass, 1, Hex(0x2F7326));
  cairo_set_source(cr, grass);
  cairo_paint(cr);
  cairo_pattern_destroy(grass);

  SetColour(cr, Hex(0x3A3D42));
  cairo_rectangle(cr, 52, 0, 152, kDesignSize);
  cairo_fill(cr);
  SetColour(cr, Hex(0xF2F2EE));
  cairo_rectangle(cr, 60, 0, 7, kDesignSize);
  cairo_rectangle(cr, 189, 0, 7, kDesignSize);
  cairo_fill(cr);
  SetColour(cr, Hex(0xF4C430));
  for (double y = -10; y < kDesignSize; y += 56) {
    cairo_rectangle(cr, 124, y, 8, 30);
  }
  cairo_fill(cr);
}

// The whole icon on a context already scaled to design units.
void DrawIcon(cairo_t* cr) {
  cairo_save(cr);
  RoundedTile(cr, 8, 8, kDesignSize - 16, 44);
  cairo_clip(cr);
  DrawRoad(cr);
  const CarModel& car = CarModelOf(1);
  const double scale = 190.0 / car.Height;
  const double x = (kDesignSize - car.Width * scale) / 2;
  const double y = (kDesignSize - car.Height * scale) / 2;
  DrawCar(cr, car, x, y, scale, false);
  cairo_restore(cr);
  // A dark rim keeps the tile readable on light and dark panels alike.
  RoundedTile(cr, 9.5, 9.5, kDesignSize - 19, 42.5);
  SetColour(cr, Hex(0x15171A), 0.9);
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
}

// The road over the whole square and the car inside the middle circle of carDiagonal design
// units, for launchers that mask the icon to their own shape: a maskable icon's safe zone is the
// circle of 80 % of the side, so the car's diagonal stays within it.
void DrawFullBleedIcon(cairo_t* cr, double carDiagonal) {
  DrawRoad(cr);
  const CarModel& car = CarModelOf(1);
  const double scale =
      carDiagonal / std::sqrt(static_cast<double>(car.Width * car.Width + car.Height * car.Height));
  DrawCar(cr, car, (kDesignSize - car.Width * scale) / 2, (kDesignSize - car.Height * scale) / 2,
          scale, false);
}

void Check(cairo_status_t status, const fs::path& file) {
  if (status != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error(file.string() + ": " + cairo_status_to_string(status));
  }
}

void WritePng(int size, const fs::path& file,
              const std::function<void(cairo_t*)>& draw = DrawIcon) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size / kDesignSize, size / kDesignSize);
  draw(cr);
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, file.string().c_str());
  cairo_surface_destroy(surface);
  Check(status, file);
}

void WriteSvg(const fs::path& file) {
  cairo_surface_t* surface =
      cairo_svg_surface_create(file.string().c_str(), kDesignSize, kDesignSize);
  // Pixels, so the theme's 256 units are 256 px and not points.
  cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
  cairo_t* cr = cairo_create(surface);
  DrawIcon(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  Check(status, file);
}

// Icons/<size>x<size>/rivoltra.png and Icons/scalable/rivoltra.svg, the hicolor theme's layout.
void WriteIcons(const fs::path& dataFolder) {
  const fs::path icons = dataFolder / "Icons";
  for (const int size : kIconSizes) {
    const fs::path folder = icons / (std::to_string(size) + "x" + std::to_string(size));
    fs::create_directories(folder);
    WritePng(size, folder / "rivoltra.png");
  }
  fs::create_directories(icons / "scalable");
  WriteSvg(icons / "scalable" / "rivoltra.svg");
  // The web app's icons: the two sizes installing asks for, the maskable one (the car within the
  // safe circle) and the home-screen icon iOS rounds itself (opaque, 180 px).
  const fs::path web = icons / "web";
  fs::create_directories(web);
  WritePng(192, web / "rivoltra-192.png");
  WritePng(512, web / "rivoltra-512.png");
  const auto maskable = [](cairo_t* cr) { DrawFullBleedIcon(cr, 0.78 * kDesignSize); };
  WritePng(512, web / "rivoltra-maskable-512.png", maskable);
  const auto homeScreen = [](cairo_t* cr) { DrawFullBleedIcon(cr, 0.92 * kDesignSize); };
  WritePng(180, web / "apple-touch-icon.png", homeScreen);
}

const datagen::RegisterGenerator kIcons("icons", WriteIcons);

}  // namespace

}  // namespace rivoltra::pictures
