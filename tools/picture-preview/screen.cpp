#include "screen.h"

#include <cairo.h>

#include <cmath>
#include <stdexcept>

#include "pictures/bitmap_fonts.h"

namespace rivoltra::preview {

ImageSet::ImageSet(std::vector<ImageItemData> items) : items_(std::move(items)) {
  for (std::size_t i = 0; i < items_.size(); ++i) byName_[items_[i].Name] = i;
}

const ImageItemData& ImageSet::Item(const std::string& name) const {
  const auto found = byName_.find(name);
  if (found == byName_.end()) throw std::runtime_error("Image '" + name + "' not found");
  return items_[found->second];
}

int PatternCount(const ImageItemData& item) {
  const int w = item.PatternWidth > 0 ? item.PatternWidth : item.Image.Width;
  const int h = item.PatternHeight > 0 ? item.PatternHeight : item.Image.Height;
  return (item.Image.Width / w) * (item.Image.Height / h);
}

namespace {

std::uint32_t KeyOf(const ImageItemData& item) {
  const std::uint32_t c = item.TransparentColor;
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

Screen::Screen(int width, int height)
    : width_(width), height_(height), pixels_(std::size_t(width) * height, 0) {}

void Screen::Fill(std::uint32_t rgb) { std::fill(pixels_.begin(), pixels_.end(), rgb); }

void Screen::Put(int x, int y, std::uint32_t rgb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[std::size_t(y) * width_ + x] = rgb;
}

void Screen::Draw(const ImageItemData& item, int pattern, int x, int y) {
  const int w = item.PatternWidth;
  const int h = item.PatternHeight;
  const int columns = item.Image.Width / w;
  if (pattern < 0 || pattern >= PatternCount(item)) return;
  const int left = (pattern % columns) * w;
  const int top = (pattern / columns) * h;
  const std::uint32_t key = KeyOf(item);
  for (int v = 0; v < h; ++v) {
    for (int u = 0; u < w; ++u) {
      const std::uint32_t rgb =
          item.Image.Pixels[std::size_t(top + v) * item.Image.Width + left + u];
      if (item.Transparent && rgb == key) continue;
      Put(x + u, y + v, rgb);
    }
  }
}

void Screen::DrawEndless(const ImageItemData& item, int x, int y) {
  const int w = item.PatternWidth;
  const int h = item.PatternHeight;
  const int ox = x % w;
  const int oy = y % h;
  for (int r = -1; r <= height_ / h + 1; ++r) {
    for (int c = -1; c <= width_ / w + 1; ++c) Draw(item, 0, c * w + ox, r * h + oy);
  }
}

void Screen::DrawRotated(const ImageItemData& item, int x, int y, double pivotX, double pivotY,
                         int angle) {
  const int w = item.PatternWidth;
  const int h = item.PatternHeight;
  const double t = (angle % 256) * 2 * M_PI / 256;
  const double cx = w * pivotX;
  const double cy = h * pivotY;
  const int reach = w + h;
  const std::uint32_t key = KeyOf(item);
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      // turn the screen offset back into the picture, nearest source pixel
      const double u = dx * std::cos(t) + dy * std::sin(t) + cx;
      const double v = -dx * std::sin(t) + dy * std::cos(t) + cy;
      const int su = int(std::floor(u));
      const int sv = int(std::floor(v));
      if (su < 0 || sv < 0 || su >= w || sv >= h) continue;
      const std::uint32_t rgb = item.Image.Pixels[std::size_t(sv) * item.Image.Width + su];
      if (item.Transparent && rgb == key) continue;
      Put(x + dx, y + dy, rgb);
    }
  }
}

int Screen::WriteText(const ImageSet& images, FontKind font, const std::string& text, int x,
                      int y) {
  static const char* const kNames[] = {"Font_small", "Font_medium_inactive", "Font_medium_Active",
                                       "Font_big"};
  const ImageItemData& item = images.Item(kNames[int(font)]);
  const bool big = font == FontKind::Big;
  const double extra = big ? -0.05 * item.PatternWidth : 0.0;
  const auto& advances = big ? pictures::kBigAdvances : pictures::kMediumAdvances;
  double pen = x;
  for (const char c : text) {
    if (c == ' ') {
      pen = std::trunc(pen + 0.2 * item.PatternWidth);
      continue;
    }
    const int index = c - pictures::kFirstGlyphCode;
    if (index < 0 || index >= pictures::kGlyphCount) continue;
    Draw(item, index, int(pen), y);
    pen = std::trunc(pen + advances[std::size_t(index)] + extra);
  }
  return int(pen);
}

void Screen::SavePng(const std::string& fileName) const {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t rgb = pixels_[std::size_t(y) * width_ + x];
      // 5-6-5 as the display stores it, widened back for the PNG
      const std::uint32_t r = (rgb >> 19) & 0x1F;
      const std::uint32_t g = (rgb >> 10) & 0x3F;
      const std::uint32_t b = (rgb >> 3) & 0x1F;
      row[x] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
  }
  cairo_surface_mark_dirty(surface);
  if (cairo_surface_write_to_png(surface, fileName.c_str()) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    throw std::runtime_error("cannot write " + fileName);
  }
  cairo_surface_destroy(surface);
}

}  // namespace rivoltra::preview
