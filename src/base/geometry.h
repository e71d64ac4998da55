#pragma once

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
// Written with plain comparisons rather than std::clamp: the race's contact test boxes every
// object on every tick, and the comparisons compile to noticeably faster code.
inline int TruncatePosition(double value) {
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  if (value < -kLimit) value = -kLimit;
  if (value > kLimit) value = kLimit;
  return static_cast<int>(value);
}

// Bounds(x, y, width, height) computed without overflow: the far edges saturate.
inline int SaturatedEdge(int start, int size) {
  const long long edge = static_cast<long long>(start) + size;
  if (edge > INT_MAX) return INT_MAX;
  if (edge < INT_MIN) return INT_MIN;
  return static_cast<int>(edge);
}

inline Rect SafeBounds(int x, int y, int width, int height) {
  return Rect{x, y, SaturatedEdge(x, width), SaturatedEdge(y, height)};
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
