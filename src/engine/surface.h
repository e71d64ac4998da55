#pragma once

#include <cstdint>
#include <vector>

#include "base/geometry.h"

namespace rivoltra {

// 16-bit 5-6-5 pixel, the display's own format.
using Pixel565 = std::uint16_t;

constexpr Pixel565 ToRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Pixel565>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// 0x00RRGGBB to 5-6-5.
constexpr Pixel565 XrgbToRgb565(std::uint32_t xrgb) {
  return ToRgb565(static_cast<std::uint8_t>(xrgb >> 16), static_cast<std::uint8_t>(xrgb >> 8),
                  static_cast<std::uint8_t>(xrgb));
}

// 5-6-5 back to 0x00RRGGBB, with the low bits filled so white stays white.
constexpr std::uint32_t Rgb565ToXrgb(Pixel565 pixel) {
  std::uint32_t r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// A block of 5-6-5 pixels in rows, top row first. The display's back buffer is one; image
// patterns are others.
class Surface {
 public:
  Surface() = default;
  Surface(int width, int height) { Resize(width, height); }

  void Resize(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  }
  // Every pixel set to `color`. Runs once per drawn frame over the whole back buffer, so it is
  // written as block copies rather than a pixel loop whose speed depends on the optimiser.
  void Fill(Pixel565 color);

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rect ClientRect() const { return Rect{0, 0, width_, height_}; }
  bool IsEmpty() const { return pixels_.empty(); }

  Pixel565* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const Pixel565* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  Pixel565 At(int x, int y) const { return Row(y)[x]; }
  void Set(int x, int y, Pixel565 color) { Row(y)[x] = color; }
  const std::vector<Pixel565>& Pixels() const { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel565> pixels_;
};

}  // namespace rivoltra
