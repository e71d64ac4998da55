#include "engine/pattern_layout.h"

#include <cstdint>
#include <limits>

namespace rivoltra {

namespace {

// The arithmetic runs in 64 bits: sizes and skips are arbitrary 32-bit values from a file.
int ClampToInt(std::int64_t value) {
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

// (total + skip) div (size + skip), with Pascal's truncating div; 0 for a cell of no size.
int CellCount(int total, int size, int skip) {
  const std::int64_t cell = std::int64_t{size} + skip;
  if (cell <= 0) return 0;
  const std::int64_t count = (std::int64_t{total} + skip) / cell;
  return count > 0 ? ClampToInt(count) : 0;
}

// total div (size + skip), plus 1 when the remainder equals size exactly.
int CellCountBeforeDisplay(int total, int size, int skip) {
  const std::int64_t cell = std::int64_t{size} + skip;
  if (cell <= 0) return 0;
  std::int64_t count = std::int64_t{total} / cell;
  if (std::int64_t{total} % cell == size) ++count;
  return count > 0 ? ClampToInt(count) : 0;
}

}  // namespace

int PatternLayout::Width() const { return PatternWidth > 0 ? PatternWidth : PictureWidth; }
int PatternLayout::Height() const { return PatternHeight > 0 ? PatternHeight : PictureHeight; }

bool PatternLayout::IsWholePicture() const {
  return Width() == PictureWidth && Height() == PictureHeight;
}

int PatternLayout::Columns() const { return CellCount(PictureWidth, Width(), SkipWidth); }
int PatternLayout::Rows() const { return CellCount(PictureHeight, Height(), SkipHeight); }

int PatternLayout::BuiltPatternCount() const {
  if (PictureWidth <= 0 || PictureHeight <= 0) return 0;
  if (IsWholePicture()) return 1;
  return ClampToInt(std::int64_t{Columns()} * Rows());
}

int PatternLayout::PatternCountBeforeDisplay() const {
  return ClampToInt(std::int64_t{CellCountBeforeDisplay(PictureWidth, Width(), SkipWidth)} *
                    CellCountBeforeDisplay(PictureHeight, Height(), SkipHeight));
}

Rect PatternLayout::PatternBounds(int pattern) const {
  if (pattern < 0 || pattern >= BuiltPatternCount()) return Rect{};
  if (IsWholePicture()) return Bounds(0, 0, PictureWidth, PictureHeight);
  const int columns = Columns();
  const int column = pattern % columns, row = pattern / columns;
  // Both products lie inside the picture, since pattern < columns x rows.
  return Bounds(ClampToInt(std::int64_t{column} * (std::int64_t{Width()} + SkipWidth)),
                ClampToInt(std::int64_t{row} * (std::int64_t{Height()} + SkipHeight)), Width(),
                Height());
}

PatternLayout PatternLayoutOf(const ImageItemData& item) {
  return PatternLayout{item.Image.Width,   item.Image.Height, item.PatternWidth,
                       item.PatternHeight, item.SkipWidth,    item.SkipHeight};
}

}  // namespace rivoltra
