#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/geometry.h"
#include "engine/surface.h"

namespace rivoltra {

// Which byte of a 32-bit pixel holds red, green and blue (their lowest bit's position: 0, 8, 16
// or 24); the fourth byte is written as all ones, so a target with alpha shows opaque.
struct PixelLayout {
  int RedShift = 16;
  int GreenShift = 8;
  int BlueShift = 0;
  bool operator==(const PixelLayout&) const = default;
};

// 32-bit pixels in rows, PitchBytes apart: a window's frame buffer.
struct PixelTarget {
  void* Pixels = nullptr;
  std::ptrdiff_t PitchBytes = 0;
  int Width = 0;
  int Height = 0;
  PixelLayout Layout;
};

enum class ScaleFilter {
  Nearest,  // sharp: every picture pixel becomes a block
  Linear,   // smooth: blended between pixel centres, edges clamped, as a GPU's linear filter
};

// The largest rectangle of the picture's shape that the area holds, centred in it.
Rect FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// The picture pixel under a point of the area the picture is placed in (outside the picture:
// the nearest pixel of its edge).
void AreaPointToPicture(const Rect& placement, int pictureWidth, int pictureHeight, int& x, int& y);

// One destination pixel's source along one axis: the first pixel, the next one (the first again
// at the far edge) and the next one's weight (0-255 of 256).
struct ScaleTap {
  int First = 0;
  int Second = 0;
  int Weight = 0;
};

// Scales the 5-6-5 back buffer into a 32-bit frame buffer on the processor, for machines whose
// graphics are drawn in software anyway (where a texture and a rasteriser cost several times
// more). Its cost is the bytes written to the frame buffer, so only the parts of the picture that
// changed since the last frame are drawn again, and sharp whole multiples of the picture (the
// window at 1x to 4x) are written in one pass, each group of picture pixels converted once and
// stored straight to every row of its blocks; any other size or the smooth filter builds each
// needed row once through the tap tables and copies it to the rows that show it.
class PictureScaler {
 public:
  // Draws the picture into `placement`, which must lie inside the target, whose layout must put
  // each colour in a byte of its own (nothing is drawn otherwise); the target outside the
  // placement is left alone. Drawn again into the same target at the same place with the same
  // filter, only what differs from the picture drawn last is drawn: the target must keep its
  // pixels between draws, or be forgotten. Returns the rectangles of the target rewritten (the
  // whole placement when drawn afresh, none when the picture did not change).
  const std::vector<Rect>& Draw(const Surface& picture, const PixelTarget& target,
                                const Rect& placement, ScaleFilter filter);
  // The target lost what was drawn into it (a window uncovered): the next draw is whole.
  void Forget() { drawn_.reset(); }

 private:
  // A source row converted and widened through the column taps to the target's pixels.
  struct RowCache {
    std::vector<std::uint32_t> Pixels;
    int SourceRow = -1;
  };
  // What a draw went to: the next one into the same may keep the picture's unchanged parts.
  struct DrawnTarget {
    const void* Pixels = nullptr;
    std::ptrdiff_t PitchBytes = 0;
    int Width = 0;
    int Height = 0;
    PixelLayout Layout;
    Rect Placement;
    ScaleFilter Filter = ScaleFilter::Nearest;
    bool operator==(const DrawnTarget&) const = default;
  };

  void PrepareTaps(int pictureWidth, int pictureHeight, const Rect& placement, ScaleFilter filter);
  void MarkChangedRows(const Surface& picture, bool afresh);
  void PlanTapRows(int pictureWidth, int width);
  void DrawThroughTaps(const Surface& picture, const PixelTarget& target, const Rect& placement);
  const std::uint32_t* WidenedRow(const Surface& picture, int sourceRow, const PixelLayout& layout,
                                  int width);

  std::vector<ScaleTap> columns_;
  std::vector<ScaleTap> rows_;
  int tapsPictureWidth_ = 0;
  int tapsPictureHeight_ = 0;
  int tapsWidth_ = 0;
  int tapsHeight_ = 0;
  ScaleFilter tapsFilter_ = ScaleFilter::Nearest;
  std::vector<std::uint32_t> converted_;
  RowCache widened_[2];
  std::optional<DrawnTarget> drawn_;
  // Adjoining columns, left inclusive, right exclusive; none where left is not below right.
  struct Columns {
    int Left = 0;
    int Right = 0;
    bool IsEmpty() const { return Left >= Right; }
    void Add(const Columns& other);
  };
  // The picture as last drawn, and the columns of each of its rows that this draw changed.
  Surface shown_;
  std::vector<Columns> changed_;
  // Of each target row, the columns drawn again; of each picture row, the target columns that its
  // widened row must hold for them.
  std::vector<Columns> drawnColumns_;
  std::vector<Columns> widenedColumns_;
  std::vector<Rect> updated_;
};

}  // namespace rivoltra
