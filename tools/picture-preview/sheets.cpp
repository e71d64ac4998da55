#include "sheets.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "pictures/art.h"
#include "pictures/typeface.h"

namespace rivoltra::preview {

namespace {

using pictures::Bitmap;

Bitmap BitmapOf(const ImageItemData& item) {
  const std::uint32_t key = ((item.TransparentColor & 0xFF) << 16) |
                            (item.TransparentColor & 0xFF00) |
                            ((item.TransparentColor >> 16) & 0xFF);
  Bitmap bitmap(item.Image.Width, item.Image.Height);
  for (std::size_t i = 0; i < bitmap.Argb.size(); ++i) {
    const std::uint32_t rgb = item.Image.Pixels[i];
    bitmap.Argb[i] = (item.Transparent && rgb == key) ? 0 : (0xFF000000u | rgb);
  }
  return bitmap;
}

void Save(cairo_surface_t* surface, const std::string& fileName) {
  if (cairo_surface_write_to_png(surface, fileName.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + fileName);
  }
}

void Checkerboard(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_set_source_rgb(cr, 0.36, 0.38, 0.40);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.46, 0.48, 0.50);
  for (double cy = y; cy < y + h; cy += 8) {
    for (double cx = x + (int((cy - y) / 8) % 2) * 8; cx < x + w; cx += 16) {
      cairo_rectangle(cr, cx, cy, 8, 8);
    }
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace

void WriteItemPngs(const ImageSet& images, const std::string& folder) {
  for (const ImageItemData& item : images.Items()) {
    cairo_surface_t* surface = pictures::SurfaceOf(BitmapOf(item));
    Save(surface, folder + "/" + item.Name + ".png");
    cairo_surface_destroy(surface);
  }
}

void WriteContactSheet(const ImageSet& images, const std::string& title,
                       const std::string& fileName) {
  constexpr double kSheetWidth = 1800;
  constexpr double kMaxTileWidth = 880;
  constexpr double kLabel = 16;
  struct Tile {
    const ImageItemData* Item;
    double Scale, X, Y, W, H;
  };
  std::vector<Tile> tiles;
  double x = 10, y = 40, rowHeight = 0;
  for (const ImageItemData& item : images.Items()) {
    const double scale = std::min(1.0, kMaxTileWidth / item.Image.Width);
    const double w = std::max(item.Image.Width * scale, 120.0);
    const double h = item.Image.Height * scale + kLabel;
    if (x + w > kSheetWidth - 10) {
      x = 10;
      y += rowHeight + 12;
      rowHeight = 0;
    }
    tiles.push_back(Tile{&item, scale, x, y, w, h});
    x += w + 12;
    rowHeight = std::max(rowHeight, h);
  }
  const int height = int(y + rowHeight + 10);
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(kSheetWidth), height);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.12, 0.13, 0.15);
  cairo_paint(cr);
  pictures::TextStyle label;
  label.Size = 11;
  label.Hinted = true;
  label.Fill = pictures::Rgb{0.9, 0.92, 0.95};
  pictures::TextStyle heading = label;
  heading.Size = 20;
  pictures::DrawText(cr, title, 10, 28, heading);
  for (const Tile& tile : tiles) {
    const ImageItemData& item = *tile.Item;
    const int count = PatternCount(item);
    pictures::DrawText(cr,
                       item.Name + "  " + std::to_string(item.Image.Width) + "x" +
                           std::to_string(item.Image.Height) + " [" +
                           std::to_string(item.PatternWidth) + "x" +
                           std::to_string(item.PatternHeight) + " x" + std::to_string(count) + "]",
                       tile.X, tile.Y + 11, label);
    const double top = tile.Y + kLabel;
    Checkerboard(cr, tile.X, top, item.Image.Width * tile.Scale, item.Image.Height * tile.Scale);
    pictures::PaintBitmap(cr, BitmapOf(item), tile.X, top, tile.Scale);
    if (count > 1) {
      cairo_set_source_rgba(cr, 0.2, 1.0, 0.4, 0.5);
      cairo_set_line_width(cr, 1);
      for (int px = item.PatternWidth; px < item.Image.Width; px += item.PatternWidth) {
        cairo_move_to(cr, tile.X + px * tile.Scale + 0.5, top);
        cairo_line_to(cr, tile.X + px * tile.Scale + 0.5, top + item.Image.Height * tile.Scale);
      }
      for (int py = item.PatternHeight; py < item.Image.Height; py += item.PatternHeight) {
        cairo_move_to(cr, tile.X, top + py * tile.Scale + 0.5);
        cairo_line_to(cr, tile.X + item.Image.Width * tile.Scale, top + py * tile.Scale + 0.5);
      }
      cairo_stroke(cr);
    }
  }
  cairo_destroy(cr);
  Save(sheet, fileName);
  cairo_surface_destroy(sheet);
}

}  // namespace rivoltra::preview
