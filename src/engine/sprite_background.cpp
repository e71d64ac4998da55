#include "engine/sprite_background.h"

#include <algorithm>
#include <climits>

#include "engine/image_list.h"

namespace rivoltra {

namespace {

constexpr long long kMaxCells = 1 << 24;

long long FloorDivide(long long value, long long divisor) {
  const long long quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

int Wrapped(long long index, int size) {
  const long long r = index % size;
  return static_cast<int>(r < 0 ? r + size : r);
}

}  // namespace

BackgroundSprite::BackgroundSprite(Sprite* parent) : Sprite(parent) { CanCollide = false; }

void BackgroundSprite::SetGridSize(int columns, int rows) {
  if (columns <= 0 || rows <= 0) columns = rows = 0;
  if (columns == gridWidth_ && rows == gridHeight_) return;
  const long long cells = static_cast<long long>(columns) * rows;
  if (cells > kMaxCells) {
    throw SpriteError("Background grid too large (" + std::to_string(columns) + "x" +
                      std::to_string(rows) + ")");
  }
  gridWidth_ = columns;
  gridHeight_ = rows;
  cells_.assign(static_cast<std::size_t>(cells), 0);
  cellSolid_.assign(static_cast<std::size_t>(cells), 1);
}

bool BackgroundSprite::InGrid(int column, int row) const {
  return column >= 0 && row >= 0 && column < gridWidth_ && row < gridHeight_;
}

int BackgroundSprite::CellAt(int column, int row) const {
  return InGrid(column, row) ? cells_[column + static_cast<std::size_t>(row) * gridWidth_] : -1;
}

void BackgroundSprite::SetCell(int column, int row, int pattern) {
  if (InGrid(column, row)) cells_[column + static_cast<std::size_t>(row) * gridWidth_] = pattern;
}

bool BackgroundSprite::CellSolidAt(int column, int row) const {
  return InGrid(column, row) && cellSolid_[column + static_cast<std::size_t>(row) * gridWidth_];
}

void BackgroundSprite::SetCellSolid(int column, int row, bool solid) {
  if (InGrid(column, row)) {
    cellSolid_[column + static_cast<std::size_t>(row) * gridWidth_] = solid ? 1 : 0;
  }
}

void BackgroundSprite::Render() {
  Surface* surface = Engine() != nullptr ? Engine()->GetSurface() : nullptr;
  if (Image == nullptr || cells_.empty() || surface == nullptr) return;
  const int cellWidth = Image->Width(), cellHeight = Image->Height();
  if (cellWidth <= 0 || cellHeight <= 0) return;
  if (Endless) {
    DrawEndless(*surface, cellWidth, cellHeight);
  } else {
    DrawBounded(*surface, cellWidth, cellHeight);
  }
}

void BackgroundSprite::DrawCell(Surface& surface, long long x, long long y, int pattern) {
  if (pattern < 0 || x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX) return;
  Image->Draw(surface, static_cast<int>(x), static_cast<int>(y), pattern);
}

void BackgroundSprite::DrawEndless(Surface& surface, int w, int h) {
  const Rect& area = Engine()->SurfaceRect();
  const int columns = (area.Right + w) / w + 1, rows = (area.Bottom + h) / h;
  const int x = TruncatePosition(AbsoluteX()), y = TruncatePosition(AbsoluteY());
  const int offsetX = x % w, offsetY = y % h;
  const int firstColumn = x / w, firstRow = y / h;
  // One cell of margin on every side keeps the surface covered at any offset.
  for (int r = -1; r <= rows + 1; ++r) {
    const int gridRow = Wrapped(static_cast<long long>(r) - firstRow, gridHeight_);
    for (int c = -1; c <= columns; ++c) {
      const int gridColumn = Wrapped(static_cast<long long>(c) - firstColumn, gridWidth_);
      DrawCell(surface, static_cast<long long>(c) * w + offsetX,
               static_cast<long long>(r) * h + offsetY, CellAt(gridColumn, gridRow));
    }
  }
}

void BackgroundSprite::DrawBounded(Surface& surface, int w, int h) {
  const Rect& area = Engine()->SurfaceRect();
  const int columns = (area.Right + w) / w + 1, rows = (area.Bottom + h) / h;
  const int x = TruncatePosition(AbsoluteX()), y = TruncatePosition(AbsoluteY());
  const int offsetX = x % w, offsetY = y % h;
  const int firstColumn = x / w, firstRow = y / h;
  const int startX = std::max(firstColumn, 0), skipX = std::max(-firstColumn, 0);
  const int startY = std::max(firstRow, 0), skipY = std::max(-firstRow, 0);
  const long long endX =
      std::min<long long>(static_cast<long long>(startX) + gridWidth_ - skipX, columns);
  const long long endY =
      std::min<long long>(static_cast<long long>(startY) + gridHeight_ - skipY, rows + 1);
  for (long long r = startY; r < endY; ++r) {
    const int gridRow = static_cast<int>(r + skipY - startY);
    for (long long c = startX; c < endX; ++c) {
      const int gridColumn = static_cast<int>(c + skipX - startX);
      DrawCell(surface, c * w + offsetX, r * h + offsetY, CellAt(gridColumn, gridRow));
    }
  }
}

Rect BackgroundSprite::GetBounds() const {
  if (Endless) return Engine() != nullptr ? Engine()->SurfaceRect() : Rect{};
  if (Image == nullptr) return Rect{};
  auto span = [](long long size, int count) {
    return static_cast<int>(std::clamp<long long>(size * count, 0, INT_MAX));
  };
  return SafeBounds(TruncatePosition(AbsoluteX()), TruncatePosition(AbsoluteY()),
                    span(Image->Width(), gridWidth_), span(Image->Height(), gridHeight_));
}

bool BackgroundSprite::HitTest(Sprite& other) {
  if (Image == nullptr || cells_.empty()) return true;
  const long long w = Image->Width(), h = Image->Height();
  if (w <= 0 || h <= 0) return true;
  const Rect otherBounds = other.GetBounds();
  const Rect overlap = Intersection(GetBounds(), otherBounds);
  if (overlap.IsEmpty()) return false;
  // Everything relative to the background's own position, where cell (0, 0) starts.
  const long long originX = TruncatePosition(AbsoluteX()), originY = TruncatePosition(AbsoluteY());
  const long long otherLeft = otherBounds.Left - originX, otherRight = otherBounds.Right - originX;
  const long long otherTop = otherBounds.Top - originY, otherBottom = otherBounds.Bottom - originY;
  const long long firstColumn = FloorDivide(overlap.Left - originX, w);
  const long long lastColumn = FloorDivide(overlap.Right - 1 - originX, w);
  const long long firstRow = FloorDivide(overlap.Top - originY, h);
  const long long lastRow = FloorDivide(overlap.Bottom - 1 - originY, h);
  for (long long row = firstRow; row <= lastRow; ++row) {
    if (!(row * h < otherBottom && otherTop < row * h + h)) continue;
    for (long long column = firstColumn; column <= lastColumn; ++column) {
      if (!(column * w < otherRight && otherLeft < column * w + w)) continue;
      if (CellSolidAt(Wrapped(column, gridWidth_), Wrapped(row, gridHeight_))) return true;
    }
  }
  return false;
}

}  // namespace rivoltra
