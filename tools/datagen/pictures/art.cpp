#include "pictures/art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace rivoltra::pictures {

Rgb Mix(Rgb a, Rgb b, double t) {
  return Rgb{a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

Rgb Shade(Rgb colour, double amount) {
  return amount >= 0 ? Mix(colour, Rgb{1, 1, 1}, amount) : Mix(colour, Rgb{0, 0, 0}, -amount);
}

void SetColour(cairo_t* cr, Rgb colour, double alpha) {
  cairo_set_source_rgba(cr, colour.R, colour.G, colour.B, alpha);
}

void AddStop(cairo_pattern_t* pattern, double offset, Rgb colour, double alpha) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, colour.R, colour.G, colour.B, alpha);
}

void Bitmap::Blit(const Bitmap& source, int x, int y) {
  for (int sy = 0; sy < source.Height; ++sy) {
    const int ty = y + sy;
    if (ty < 0 || ty >= Height) continue;
    for (int sx = 0; sx < source.Width; ++sx) {
      const int tx = x + sx;
      if (tx < 0 || tx >= Width || !source.Opaque(sx, sy)) continue;
      At(tx, ty) = source.At(sx, sy);
    }
  }
}

Bitmap Bitmap::Crop(int x, int y, int width, int height) const {
  if (x < 0 || y < 0 || x + width > Width || y + height > Height) {
    throw std::logic_error("crop outside the bitmap");
  }
  Bitmap part(width, height);
  for (int row = 0; row < height; ++row) {
    std::copy_n(&Argb[std::size_t(y + row) * Width + x], width,
                &part.Argb[std::size_t(row) * width]);
  }
  return part;
}

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      context_(cairo_create(surface_)) {
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot create a drawing surface");
  }
  cairo_set_antialias(context_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
  cairo_destroy(context_);
  cairo_surface_destroy(surface_);
}

Bitmap Canvas::ToBitmap() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  Bitmap bitmap(width_, height_);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t pixel = row[x];
      const std::uint32_t alpha = pixel >> 24;
      if (alpha < 128) {
        bitmap.At(x, y) = 0;
        continue;
      }
      // cairo stores premultiplied colour; undo it so the edge keeps the shape's own colour
      auto straight = [alpha](std::uint32_t channel) {
        return std::min<std::uint32_t>(255, (channel * 255 + alpha / 2) / alpha);
      };
      const std::uint32_t r = straight((pixel >> 16) & 0xFF);
      const std::uint32_t g = straight((pixel >> 8) & 0xFF);
      const std::uint32_t b = straight(pixel & 0xFF);
      bitmap.At(x, y) = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  return bitmap;
}

cairo_surface_t* SurfaceOf(const Bitmap& bitmap) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.Width, bitmap.Height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < bitmap.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    // alpha is 0 or 255, so the straight colour is already the premultiplied one
    for (int x = 0; x < bitmap.Width; ++x) row[x] = bitmap.Opaque(x, y) ? bitmap.At(x, y) : 0;
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

void PaintBitmap(cairo_t* cr, const Bitmap& bitmap, double x, double y, double scale) {
  cairo_surface_t* surface = SurfaceOf(bitmap);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, surface, 0, 0);
  // whole-pixel copies stay exact; scaled copies are smoothed (callers scale only onto
  // opaque ground, where the soft edge has something to blend with)
  cairo_pattern_set_filter(cairo_get_source(cr),
                           scale == 1.0 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_rectangle(cr, 0, 0, bitmap.Width, bitmap.Height);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

std::uint32_t AvoidKey(std::uint32_t rgb) {
  const std::uint32_t r = (rgb >> 16) & 0xFF;
  const std::uint32_t g = (rgb >> 8) & 0xFF;
  const std::uint32_t b = rgb & 0xFF;
  // a wide margin around the key, so neither truncating nor rounding 5-6-5 conversions meet it
  if (r >= 240 && g < 16 && b >= 240) return (r << 16) | (16u << 8) | b;
  return rgb;
}

namespace {

constexpr std::uint32_t kDisplayedBits = 0xF8FCF8;

ImageItemData ItemOf(std::string name, const Bitmap& bitmap, int patternWidth, int patternHeight,
                     bool transparent) {
  if (bitmap.Width <= 0 || bitmap.Height <= 0) throw std::logic_error("empty picture " + name);
  if ((patternWidth > 0 && bitmap.Width % patternWidth != 0) ||
      (patternHeight > 0 && bitmap.Height % patternHeight != 0)) {
    throw std::logic_error("picture " + name + " is not a whole number of patterns");
  }
  ImageItemData item;
  item.Name = std::move(name);
  item.PatternWidth = patternWidth > 0 ? patternWidth : bitmap.Width;
  item.PatternHeight = patternHeight > 0 ? patternHeight : bitmap.Height;
  item.Transparent = transparent;
  // 0x00BBGGRR; magenta reads the same both ways round
  item.TransparentColor = ((kKeyRgb & 0xFF) << 16) | (kKeyRgb & 0xFF00) | ((kKeyRgb >> 16) & 0xFF);
  item.Image.Width = bitmap.Width;
  item.Image.Height = bitmap.Height;
  item.Image.Pixels.resize(bitmap.Argb.size());
  for (std::size_t i = 0; i < bitmap.Argb.size(); ++i) {
    const std::uint32_t pixel = bitmap.Argb[i];
    const bool opaque = !transparent || (pixel >> 24) != 0;
    // The display keeps 5-6-5 bits of each colour and drops the rest; stored without them, the
    // pictures look the same and compress far better (the page downloads them).
    item.Image.Pixels[i] = opaque ? AvoidKey(pixel & 0xFFFFFF) & kDisplayedBits : kKeyRgb;
  }
  return item;
}

}  // namespace

ImageItemData KeyedItem(std::string name, const Bitmap& bitmap, int patternWidth,
                        int patternHeight) {
  return ItemOf(std::move(name), bitmap, patternWidth, patternHeight, true);
}

ImageItemData OpaqueItem(std::string name, const Bitmap& bitmap, int patternWidth,
                         int patternHeight) {
  return ItemOf(std::move(name), bitmap, patternWidth, patternHeight, false);
}

Bitmap StackVertically(const std::vector<Bitmap>& parts) {
  if (parts.empty()) return Bitmap{};
  Bitmap stack(parts.front().Width, parts.front().Height * int(parts.size()));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].Width != stack.Width || parts[i].Height != parts.front().Height) {
      throw std::logic_error("stacked looks differ in size");
    }
    std::copy(parts[i].Argb.begin(), parts[i].Argb.end(),
              stack.Argb.begin() + std::ptrdiff_t(i * parts[i].Argb.size()));
  }
  return stack;
}

}  // namespace rivoltra::pictures
