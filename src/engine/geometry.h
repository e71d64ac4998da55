#pragma once

namespace rivoltra {

// Rectangles are left, top, right, bottom in pixels; right and bottom are exclusive.
struct Rect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const Rect&) const = default;
};

inline Rect Bounds(int x, int y, int width, int height) {
  return Rect{x, y, x + width, y + height};
}

// Strict overlap: rectangles that only share an edge do not overlap.
inline bool Overlaps(const Rect& a, const Rect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

inline Rect Intersection(const Rect& a, const Rect& b) {
  Rect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
         a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
  if (r.IsEmpty()) return Rect{};
  return r;
}

}  // namespace rivoltra
