#include "picture_export.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "engine/pattern_layout.h"
#include "engine/surface.h"

namespace rivoltra::archive_tool {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

constexpr int kCellWidth = 240;        // the widest thumbnail
constexpr int kThumbnailHeight = 180;  // the tallest thumbnail
constexpr int kLabelHeight = 34;
constexpr int kMargin = 12;
constexpr int kColumns = 5;
constexpr int kTitleHeight = 36;

std::uint32_t KeyAsXrgb(std::uint32_t bgr) {
  return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

SurfacePtr PictureSurface(const ImageItemData& item) {
  const Picture& picture = item.Image;
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.Width, picture.Height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot make a picture of " + std::to_string(picture.Width) + " x " +
                             std::to_string(picture.Height));
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const Pixel565 key = XrgbToRgb565(KeyAsXrgb(item.TransparentColor));
  for (int y = 0; y < picture.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint32_t pixel = picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x];
      // Alpha is 0 or 255 only, so the premultiplied form is the colour itself or all zero.
      row[x] = item.Transparent && XrgbToRgb565(pixel) == key ? 0 : (0xFF000000u | pixel);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

void WritePng(cairo_surface_t* surface, const std::string& fileName) {
  const cairo_status_t status = cairo_surface_write_to_png(surface, fileName.c_str());
  if (status != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error(fileName + ": " + cairo_status_to_string(status));
}

void Checkerboard(cairo_t* cr, double x, double y, double width, double height) {
  constexpr double kSquare = 8;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, width, height);
  cairo_clip(cr);
  for (double row = 0; row * kSquare < height; ++row)
    for (double column = 0; column * kSquare < width; ++column) {
      const bool dark = static_cast<int>(row + column) % 2 == 1;
      cairo_set_source_rgb(cr, dark ? 0.80 : 0.93, dark ? 0.80 : 0.93, dark ? 0.80 : 0.93);
      cairo_rectangle(cr, x + column * kSquare, y + row * kSquare, kSquare, kSquare);
      cairo_fill(cr);
    }
  cairo_restore(cr);
}

void Label(cairo_t* cr, const std::string& text, double x, double y, double maxWidth, bool bold) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y - 12, maxWidth, 16);
  cairo_clip(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 11);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
}

void DrawCell(cairo_t* cr, const ImageItemData& item, double left, double top) {
  const Picture& picture = item.Image;
  std::string size = "(empty)";
  if (!picture.IsEmpty()) {
    // Large pictures shrink to fit; small ones grow by a whole factor (at most 4) so their
    // pixels stay sharp and visible.
    const double fit =
        std::min(double{kCellWidth} / picture.Width, double{kThumbnailHeight} / picture.Height);
    const double scale = fit < 1 ? fit : std::min(4.0, std::floor(fit));
    const double width = picture.Width * scale, height = picture.Height * scale;
    const double x = left + std::floor((kCellWidth - width) / 2),
                 y = top + (kThumbnailHeight - height);
    Checkerboard(cr, x, y, width, height);
    SurfacePtr surface = PictureSurface(item);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, surface.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr),
                             scale < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);

    // Pattern grid: the built patterns' rectangles, drawn on the thumbnail.
    const PatternLayout layout = PatternLayoutOf(item);
    const int count = layout.BuiltPatternCount();
    cairo_save(cr);
    cairo_set_source_rgba(cr, 0.9, 0.1, 0.1, 0.85);
    cairo_set_line_width(cr, 1);
    constexpr int kMostOutlined = 4096;  // beyond this the grid is a red blur anyway
    for (int k = 0; k < std::min(count, kMostOutlined); ++k) {
      const Rect r = layout.PatternBounds(k);
      cairo_rectangle(cr, std::floor(x + r.Left * scale) + 0.5, std::floor(y + r.Top * scale) + 0.5,
                      std::max(1.0, std::round(r.Width() * scale) - 1),
                      std::max(1.0, std::round(r.Height() * scale) - 1));
    }
    cairo_stroke(cr);
    cairo_restore(cr);

    size = std::to_string(picture.Width) + "x" + std::to_string(picture.Height);
    if (!layout.IsWholePicture())
      size += ", " + std::to_string(count) + " of " + std::to_string(layout.Width()) + "x" +
              std::to_string(layout.Height());
    if (scale != 1)
      size += " (" + std::to_string(static_cast<int>(std::lround(scale * 100))) + "%)";
  }
  Label(cr, item.Name.empty() ? "(no name)" : item.Name, left, top + kThumbnailHeight + 14,
        kCellWidth, true);
  Label(cr, size, left, top + kThumbnailHeight + 28, kCellWidth, false);
}

}  // namespace

void WriteItemPng(const ImageItemData& item, const std::string& fileName) {
  SurfacePtr surface = PictureSurface(item);
  WritePng(surface.get(), fileName);
}

void WriteContactSheet(const std::vector<ImageItemData>& items, const std::string& title,
                       const std::string& fileName) {
  const int count = static_cast<int>(items.size());
  const int columns = std::max(1, std::min(kColumns, count));
  const int rows = std::max(1, (count + columns - 1) / columns);
  const int width = kMargin + columns * (kCellWidth + kMargin);
  const int height = kTitleHeight + rows * (kThumbnailHeight + kLabelHeight + kMargin) + kMargin;
  SurfacePtr sheet(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  if (cairo_surface_status(sheet.get()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error(fileName + ": " +
                             cairo_status_to_string(cairo_surface_status(sheet.get())));
  ContextPtr context(cairo_create(sheet.get()));
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 16);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_move_to(cr, kMargin, 24);
  cairo_show_text(cr, (title + " (" + std::to_string(count) + " items)").c_str());
  for (int i = 0; i < count; ++i) {
    const int column = i % columns, row = i / columns;
    DrawCell(cr, items[static_cast<std::size_t>(i)], kMargin + column * (kCellWidth + kMargin),
             kTitleHeight + row * (kThumbnailHeight + kLabelHeight + kMargin));
  }
  WritePng(sheet.get(), fileName);
}

void ReleaseDrawingCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace rivoltra::archive_tool
