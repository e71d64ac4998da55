#pragma once

#include <cstdint>
#include <vector>

#include "engine/sprite.h"

namespace rivoltra {

class ImageItem;

// A grid of image patterns, one per cell; Endless repeats it in both directions over the whole
// surface. Starts with CanCollide false.
class BackgroundSprite : public Sprite {
 public:
  explicit BackgroundSprite(Sprite* parent);

  // Not owned; pattern 0's size is the cell size.
  ImageItem* Image = nullptr;
  bool Endless = false;

  int GridWidth() const { return gridWidth_; }
  int GridHeight() const { return gridHeight_; }
  // Reallocates the grid with every cell showing pattern 0 and solid; a size of 0 or less in
  // either direction empties it. Throws SpriteError for grids of more than 2^24 cells.
  void SetGridSize(int columns, int rows);
  // The cell's pattern index; -1 outside the grid. A negative index marks an empty cell.
  int CellAt(int column, int row) const;
  void SetCell(int column, int row, int pattern);
  // Whether the cell collides; false outside the grid.
  bool CellSolidAt(int column, int row) const;
  void SetCellSolid(int column, int row, bool solid);

  void Render() override;
  Rect GetBounds() const override;
  bool HitTest(Sprite& other) override;

 private:
  bool InGrid(int column, int row) const;
  void DrawEndless(Surface& surface, int cellWidth, int cellHeight);
  void DrawBounded(Surface& surface, int cellWidth, int cellHeight);
  void DrawCell(Surface& surface, long long x, long long y, int pattern);

  int gridWidth_ = 0;
  int gridHeight_ = 0;
  std::vector<int> cells_;
  std::vector<std::uint8_t> cellSolid_;
};

}  // namespace rivoltra
