#pragma once
// Drawing boards and the step from a drawn picture to an archive item.
//
// Everything is drawn with cairo into ARGB canvases, anti-aliased inside. Before a picture
// becomes an item its alpha is cut at one half: a pixel is either fully opaque or the colour
// key, so no pixel ever blends towards the key and no fringe of it can show.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// The colour key of every transparent item: magenta, 0x00RRGGBB.
inline constexpr std::uint32_t kKeyRgb = 0xFF00FF;

struct Rgb {
  double R = 0;
  double G = 0;
  double B = 0;
};

constexpr Rgb Hex(std::uint32_t rrggbb) {
  return Rgb{((rrggbb >> 16) & 0xFF) / 255.0, ((rrggbb >> 8) & 0xFF) / 255.0,
             (rrggbb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
// amount > 0 moves towards white, < 0 towards black.
Rgb Shade(Rgb colour, double amount);
void SetColour(cairo_t* cr, Rgb colour, double alpha = 1.0);
void AddStop(cairo_pattern_t* pattern, double offset, Rgb colour, double alpha = 1.0);

// A picture after the alpha cut: 0xAARRGGBB with A either 0 or 255.
struct Bitmap {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Argb;

  Bitmap() = default;
  Bitmap(int width, int height) : Width(width), Height(height), Argb(std::size_t(width) * height) {}
  std::uint32_t At(int x, int y) const { return Argb[std::size_t(y) * Width + x]; }
  std::uint32_t& At(int x, int y) { return Argb[std::size_t(y) * Width + x]; }
  bool Opaque(int x, int y) const { return (At(x, y) >> 24) != 0; }
  // Copies the opaque pixels of source with its top-left corner at (x, y), clipped.
  void Blit(const Bitmap& source, int x, int y);
  // A part of the bitmap; the rectangle must lie inside.
  Bitmap Crop(int x, int y, int width, int height) const;
};

// An ARGB drawing board with its cairo context.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* Context() const { return context_; }
  cairo_surface_t* Surface() const { return surface_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The alpha-cut picture: alpha of one half or more becomes opaque with the pixel's own
  // (un-premultiplied) colour, anything less becomes transparent.
  Bitmap ToBitmap() const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* context_;
};

// Paints a bitmap onto a cairo context; at scale 1 pixel for pixel, otherwise smoothed.
void PaintBitmap(cairo_t* cr, const Bitmap& bitmap, double x, double y, double scale = 1.0);
// A cairo image surface holding the bitmap (caller destroys it).
cairo_surface_t* SurfaceOf(const Bitmap& bitmap);

// Nudges an opaque colour that the 16-bit display would turn into the key's own value.
std::uint32_t AvoidKey(std::uint32_t rgb);

// Archive items. Pattern sizes of 0 mean one pattern covering the whole picture.
ImageItemData KeyedItem(std::string name, const Bitmap& bitmap, int patternWidth = 0,
                        int patternHeight = 0);
ImageItemData OpaqueItem(std::string name, const Bitmap& bitmap, int patternWidth = 0,
                         int patternHeight = 0);

// Lays frames side by side into one strip, each frame drawn by draw(cr, index) in a cell of
// the given size with its origin at the cell's top-left corner and clipped to the cell.
template <typename DrawFrame>
Bitmap FrameStrip(int cellWidth, int cellHeight, int count, DrawFrame draw) {
  Canvas canvas(cellWidth * count, cellHeight);
  cairo_t* cr = canvas.Context();
  for (int i = 0; i < count; ++i) {
    cairo_save(cr);
    cairo_translate(cr, double(i * cellWidth), 0);
    cairo_rectangle(cr, 0, 0, cellWidth, cellHeight);
    cairo_clip(cr);
    draw(cr, i);
    cairo_restore(cr);
  }
  return canvas.ToBitmap();
}

// Stacks bitmaps of equal size vertically (button looks: pattern 0 on top).
Bitmap StackVertically(const std::vector<Bitmap>& parts);

}  // namespace rivoltra::pictures
