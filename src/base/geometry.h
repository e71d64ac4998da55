#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

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

// Truncates a position toward zero, held within +-2^30 so that adding a size cannot overflow;
// not-a-number counts as 0. Sprites and the race rules both box their positions this way, so a
// contact happens on the same tick in both.
inline int TruncatePosition(double value) {
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

// Bounds(x, y, width, height) computed without overflow: the far edges saturate.
inline Rect SafeBounds(int x, int y, int width, int height) {
  auto edge = [](long long start, long long size) {
    return static_cast<int>(std::clamp<long long>(start + size, INT_MIN, INT_MAX));
  };
  return Rect{x, y, edge(x, width), edge(y, height)};
}

// The box of something at a fractional position: its position truncated, its far edges saturated.
inline Rect PositionBounds(double x, double y, int width, int height) {
  return SafeBounds(TruncatePosition(x), TruncatePosition(y), width, height);
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
