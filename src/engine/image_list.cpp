#include "engine/image_list.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/pattern_layout.h"

namespace rivoltra {

namespace {

// Display-memory blocks span the smallest whole number of cells that reaches 512 pixels, but
// no more cells than the picture has across.
// A span beyond the picture is cut to it, as the last block of a row is.
int BlockSpan(long long cell, long long cells, int pictureSize) {
  const long long span = std::min(cell * (1 + 511 / cell), cell * cells);
  return static_cast<int>(std::clamp<long long>(span, 1, pictureSize));
}

Pixel565 KeyFromBgr(std::uint32_t bgr) {
  return ToRgb565(static_cast<std::uint8_t>(bgr), static_cast<std::uint8_t>(bgr >> 8),
                  static_cast<std::uint8_t>(bgr >> 16));
}

// cos(2 pi i / 256); the quarter turns are exact so right-angle rotations land on whole pixels.
const std::array<double, 256>& CosineTable() {
  static const std::array<double, 256> kTable = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) {
      t[i] = std::cos(2.0 * std::numbers::pi * i / 256.0);
      if (std::fabs(t[i]) < 1e-12) t[i] = 0.0;
    }
    return t;
  }();
  return kTable;
}

// Eight pixels at a time: the keyed copy is most of a frame's drawing.
using PixelBlock = std::uint16_t __attribute__((vector_size(16)));

void CopyRowKeyed(Pixel565* to, const Pixel565* from, int count, Pixel565 key) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    PixelBlock source, target;
    std::memcpy(&source, from + i, sizeof source);
    std::memcpy(&target, to + i, sizeof target);
    const PixelBlock isKey = reinterpret_cast<PixelBlock>(source == key);
    target = (target & isKey) | (source & ~isKey);
    std::memcpy(to + i, &target, sizeof target);
  }
  for (; i < count; ++i) {
    if (from[i] != key) to[i] = from[i];
  }
}

// Half of each channel of both pixels: the low bit of every channel is dropped first, so no
// channel's half spills into its neighbour. Keyed pixels leave the target as it was. A plain
// loop: only the ghost car is drawn so, a few thousand pixels a frame.
constexpr Pixel565 kHalfMask = 0xF7DE;

void BlendRowHalf(Pixel565* to, const Pixel565* from, int count, bool keyed, Pixel565 key) {
  for (int i = 0; i < count; ++i) {
    if (keyed && from[i] == key) continue;
    to[i] = static_cast<Pixel565>(((from[i] & kHalfMask) >> 1) + ((to[i] & kHalfMask) >> 1));
  }
}

bool PictureUsable(const Picture& picture) {
  return !picture.IsEmpty() &&
         picture.Pixels.size() >=
             static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// ImageItem

ImageItem::ImageItem(ImageCollection& collection, ImageItemData data)
    : collection_(collection),
      data_(std::move(data)),
      colorKey_(KeyFromBgr(data_.TransparentColor)) {}

ImageItem::~ImageItem() { collection_.index_.Remove(*this); }

void ImageItem::SetName(std::string name) {
  collection_.index_.Remove(*this);
  data_.Name = std::move(name);
  collection_.index_.Add(*this);
}

void ImageItem::SetTransparentColor(std::uint32_t bgr) {
  data_.TransparentColor = bgr;
  colorKey_ = KeyFromBgr(bgr);
}

int ImageItem::Width() const { return std::max(PatternLayoutOf(data_).Width(), 0); }

int ImageItem::Height() const { return std::max(PatternLayoutOf(data_).Height(), 0); }

int ImageItem::PatternCount() const {
  if (!initialized_) return PatternLayoutOf(data_).PatternCountBeforeDisplay();
  EnsureBuilt();
  return static_cast<int>(patterns_.size());
}

Rect ImageItem::PatternRect(int pattern) const {
  EnsureBuilt();
  if (pattern < 0 || pattern >= static_cast<int>(patterns_.size())) return Rect{};
  return patterns_[pattern].Area;
}

const Surface* ImageItem::PatternSurface(int pattern) const {
  EnsureBuilt();
  if (pattern < 0 || pattern >= static_cast<int>(patterns_.size())) return nullptr;
  return &surfaces_[patterns_[pattern].SurfaceIndex];
}

void ImageItem::Initialize() {
  patterns_.clear();
  surfaces_.clear();
  built_ = false;
  initialized_ = true;
}

void ImageItem::Finalize() {
  patterns_.clear();
  surfaces_.clear();
  built_ = false;
  initialized_ = false;
}

void ImageItem::EnsureBuilt() const {
  if (!initialized_ || built_) return;
  BuildPatterns();
  built_ = true;
}

void ImageItem::BuildSurface(const Rect& area) const {
  Surface& surface = surfaces_.emplace_back(area.Width(), area.Height());
  const Picture& picture = data_.Image;
  for (int y = 0; y < area.Height(); ++y) {
    const std::uint32_t* source =
        picture.Pixels.data() + static_cast<std::size_t>(area.Top + y) * picture.Width + area.Left;
    Pixel565* row = surface.Row(y);
    for (int x = 0; x < area.Width(); ++x) row[x] = XrgbToRgb565(source[x]);
  }
}

void ImageItem::BuildPatterns() const {
  patterns_.clear();
  surfaces_.clear();
  const Picture& picture = data_.Image;
  if (!PictureUsable(picture)) return;
  const PatternLayout layout = PatternLayoutOf(data_);
  const int count = layout.BuiltPatternCount();
  if (count <= 0) return;
  int blockWidth = picture.Width, blockHeight = picture.Height;
  // Overlapping cells (a negative skip) could straddle blocks, so they share one surface.
  if (!layout.IsWholePicture() && !data_.SystemMemory && data_.SkipWidth >= 0 &&
      data_.SkipHeight >= 0) {
    blockWidth = BlockSpan(static_cast<long long>(layout.Width()) + data_.SkipWidth,
                           layout.Columns(), picture.Width);
    blockHeight = BlockSpan(static_cast<long long>(layout.Height()) + data_.SkipHeight,
                            layout.Rows(), picture.Height);
  }
  const int blocksAcross = (picture.Width + blockWidth - 1) / blockWidth;
  for (int top = 0; top < picture.Height; top += blockHeight) {
    for (int left = 0; left < picture.Width; left += blockWidth) {
      BuildSurface(Rect{left, top, std::min(left + blockWidth, picture.Width),
                        std::min(top + blockHeight, picture.Height)});
    }
  }
  patterns_.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    const Rect cell = layout.PatternBounds(k);
    if (Intersection(cell, Rect{0, 0, picture.Width, picture.Height}) != cell) {
      patterns_.push_back({Rect{}, 0});  // never drawn; keeps the numbering
      continue;
    }
    const int block = (cell.Top / blockHeight) * blocksAcross + cell.Left / blockWidth;
    patterns_.push_back(
        {Bounds(cell.Left % blockWidth, cell.Top % blockHeight, cell.Width(), cell.Height()),
         block});
  }
}

template <typename RowDrawer>
void ImageItem::DrawRows(Surface& target, int x, int y, int pattern, RowDrawer drawRow) const {
  const Surface* source = initialized_ ? PatternSurface(pattern) : nullptr;
  if (source == nullptr) return;
  const Rect& area = patterns_[pattern].Area;
  // Clipping in 64 bits: positions far off the surface must not overflow.
  const long long left = std::max<long long>(x, 0);
  const long long top = std::max<long long>(y, 0);
  const long long right =
      std::min<long long>(static_cast<long long>(x) + area.Width(), target.Width());
  const long long bottom =
      std::min<long long>(static_cast<long long>(y) + area.Height(), target.Height());
  if (left >= right || top >= bottom) return;
  const int sourceX = area.Left + static_cast<int>(left - x);
  const int sourceY = area.Top + static_cast<int>(top - y);
  const int count = static_cast<int>(right - left);
  for (int row = 0; row < static_cast<int>(bottom - top); ++row) {
    const Pixel565* from = source->Row(sourceY + row) + sourceX;
    Pixel565* to = target.Row(static_cast<int>(top) + row) + left;
    drawRow(to, from, count);
  }
}

void ImageItem::Draw(Surface& target, int x, int y, int pattern) const {
  DrawRows(target, x, y, pattern, [this](Pixel565* to, const Pixel565* from, int count) {
    if (data_.Transparent) {
      CopyRowKeyed(to, from, count, colorKey_);
    } else {
      std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(Pixel565));
    }
  });
}

void ImageItem::DrawHalfTransparent(Surface& target, int x, int y, int pattern) const {
  DrawRows(target, x, y, pattern, [this](Pixel565* to, const Pixel565* from, int count) {
    BlendRowHalf(to, from, count, data_.Transparent, colorKey_);
  });
}

void ImageItem::DrawRotate(Surface& target, int x, int y, int width, int height, int pattern,
                           double centerX, double centerY, int angle) const {
  const Surface* source = initialized_ ? PatternSurface(pattern) : nullptr;
  if (source == nullptr || width <= 0 || height <= 0) return;
  if (!std::isfinite(centerX) || !std::isfinite(centerY)) return;
  const Rect& area = patterns_[pattern].Area;
  if (area.IsEmpty()) return;
  const int turn = angle & 255;
  const double cosine = CosineTable()[turn], sine = CosineTable()[(turn - 64) & 255];
  const double pivotU = width * centerX, pivotV = height * centerY;

  // The rotated outline's box, found from the four corners, bounds the pixels to visit.
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  bool first = true;
  for (double c : {-pivotU, width - pivotU}) {
    for (double d : {-pivotV, height - pivotV}) {
      const double px = c * cosine - d * sine, py = c * sine + d * cosine;
      minX = first ? px : std::min(minX, px), maxX = first ? px : std::max(maxX, px);
      minY = first ? py : std::min(minY, py), maxY = first ? py : std::max(maxY, py);
      first = false;
    }
  }
  auto clampTo = [](double value, int limit) {
    return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(limit)));
  };
  const int left = clampTo(x + std::floor(minX) - 1, target.Width());
  const int right = clampTo(x + std::ceil(maxX) + 2, target.Width());
  const int top = clampTo(y + std::floor(minY) - 1, target.Height());
  const int bottom = clampTo(y + std::ceil(maxY) + 2, target.Height());
  const double scaleX = static_cast<double>(area.Width()) / width;
  const double scaleY = static_cast<double>(area.Height()) / height;

  // Each target pixel is turned back into the scaled pattern and samples its nearest pixel.
  for (int ty = top; ty < bottom; ++ty) {
    const double relY = ty - y;
    Pixel565* row = target.Row(ty);
    for (int tx = left; tx < right; ++tx) {
      const double relX = tx - x;
      const double u = relX * cosine + relY * sine + pivotU;
      const double v = -relX * sine + relY * cosine + pivotV;
      if (!(u >= 0 && v >= 0 && u < width && v < height)) continue;
      const int sx = std::min(static_cast<int>(u * scaleX), area.Width() - 1);
      const int sy = std::min(static_cast<int>(v * scaleY), area.Height() - 1);
      const Pixel565 pixel = source->At(area.Left + sx, area.Top + sy);
      if (pixel != colorKey_) row[tx] = pixel;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// ImageCollection

ImageCollection::ImageCollection(ImageList& owner) : owner_(owner) {}

ImageCollection::~ImageCollection() { Clear(); }

ImageItem& ImageCollection::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw ImageListError("Image index out of range (" + std::to_string(index) + ")");
  }
  return *items_[index];
}

ImageItem& ImageCollection::Add(ImageItemData data) {
  ImageItem& item = *items_.emplace_back(std::make_unique<ImageItem>(*this, std::move(data)));
  index_.Add(item);
  if (initialized_) item.Initialize();
  return item;
}

void ImageCollection::Clear() {
  while (!items_.empty()) items_.pop_back();
}

void ImageCollection::LoadArchive(const std::string& fileName) {
  Assign(ReadImageArchive(fileName));
}

void ImageCollection::Assign(std::vector<ImageItemData> items) {
  Clear();
  items_.reserve(items.size());
  for (ImageItemData& data : items) Add(std::move(data));
}

ImageItem* ImageCollection::Find(std::string_view name) const { return index_.Find(name); }

ImageItem& ImageCollection::ItemByName(std::string_view name) const {
  ImageItem* item = Find(name);
  if (item == nullptr) throw ImageListError("Image '" + std::string(name) + "' not found");
  return *item;
}

void ImageCollection::Initialize() {
  if (!owner_.DisplayReady()) throw ImageListError("TImageList cannot be initialized");
  BuildAll();
}

void ImageCollection::BuildAll() {
  initialized_ = true;
  for (auto& item : items_) item->Initialize();
}

void ImageCollection::Finalize() {
  for (auto& item : items_) item->Finalize();
  initialized_ = false;
}

// ---------------------------------------------------------------------------------------------
// ImageList

ImageList::ImageList() : items_(*this) {}

ImageList::~ImageList() {
  if (display_ != nullptr) display_->Unsubscribe(*this);
}

void ImageList::SetDisplay(DisplayPublisher* display) {
  if (display == display_) return;
  if (display_ != nullptr) {
    display_->Unsubscribe(*this);
    items_.Finalize();
  }
  display_ = display;
  if (display_ == nullptr) return;
  display_->Subscribe(*this);
  if (display_->IsInitialized()) items_.BuildAll();
}

void ImageList::DisplayInitialized(Surface&) { items_.BuildAll(); }

void ImageList::DisplayFinalized() { items_.Finalize(); }

void ImageList::DisplayDestroyed() {
  items_.Finalize();
  display_ = nullptr;
}

}  // namespace rivoltra
