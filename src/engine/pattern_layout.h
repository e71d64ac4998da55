#pragma once
// How an image item's picture is cut into patterns (the derived values of an image item).
// The image list (engine/image_list.*) and the archive tool (tools/archive) both use this, so
// the pattern count and rectangles are computed in exactly one place: do not duplicate the
// arithmetic elsewhere.
//
//   PatternLayout layout = PatternLayoutOf(item);    // or fill the six fields by hand
//   layout.Width(), layout.Height()                  // size of one pattern
//   layout.PatternCountBeforeDisplay()               // PatternCount with no initialised display
//   layout.BuiltPatternCount()                       // number of patterns once they are built
//   layout.PatternBounds(k)                          // pattern k's rectangle within the picture
#include "base/geometry.h"
#include "engine/image_archive.h"

namespace rivoltra {

struct PatternLayout {
  int PictureWidth = 0;
  int PictureHeight = 0;
  int PatternWidth = 0;  // 0 or less: the whole picture
  int PatternHeight = 0;
  int SkipWidth = 0;
  int SkipHeight = 0;

  // `Width`: PatternWidth if above 0, else the picture width; `Height` likewise.
  int Width() const;
  int Height() const;
  // True when one pattern covers the whole picture (Width and Height equal the picture size).
  bool IsWholePicture() const;
  // columns = (picture width + SkipWidth) div (Width + SkipWidth); rows likewise. 0 when the
  // cell size is not positive.
  int Columns() const;
  int Rows() const;
  // The number of patterns built for a display: 0 for an empty picture, 1 for a whole-picture
  // pattern, otherwise columns x rows.
  int BuiltPatternCount() const;
  // `PatternCount` before the patterns are built: columns' x rows', where columns' = picture
  // width div (Width + SkipWidth), plus 1 when the remainder equals Width exactly.
  int PatternCountBeforeDisplay() const;
  // Pattern k (row-major) within the picture:
  // Bounds(col x (Width + SkipWidth), row x (Height + SkipHeight), Width, Height), col = k mod
  // columns, row = k div columns. Rect{} (0, 0, 0, 0) when k is not below BuiltPatternCount().
  Rect PatternBounds(int pattern) const;
};

PatternLayout PatternLayoutOf(const ImageItemData& item);

}  // namespace rivoltra
