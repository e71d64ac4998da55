#pragma once

#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"
#include "engine/display_notices.h"
#include "engine/image_archive.h"
#include "engine/name_index.h"
#include "engine/surface.h"

namespace rivoltra {

class ImageCollection;
class ImageList;

// Failures of an image list: an unknown name, a list that cannot be bound.
class ImageListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One picture of an image list, cut into equal patterns. While its list is bound to an
// initialised display the patterns live in 5-6-5 surfaces, converted once when they are built,
// so drawing only copies rows. They are built at their first use after the display has been
// initialised rather than all at once: a screen needs a few of a list's pictures, and the
// start-up's first picture waited for all of them. (Used from the game's thread only.)
class ImageItem {
 public:
  ImageItem(ImageCollection& collection, ImageItemData data);
  ~ImageItem();
  ImageItem(const ImageItem&) = delete;
  ImageItem& operator=(const ImageItem&) = delete;

  const ImageItemData& Data() const { return data_; }
  const std::string& Name() const { return data_.Name; }
  // A new name moves the item to the head of its new bucket, so it wins over older duplicates.
  void SetName(std::string name);
  int PatternWidth() const { return data_.PatternWidth; }
  int PatternHeight() const { return data_.PatternHeight; }
  int SkipWidth() const { return data_.SkipWidth; }
  int SkipHeight() const { return data_.SkipHeight; }
  bool SystemMemory() const { return data_.SystemMemory; }
  bool Transparent() const { return data_.Transparent; }
  void SetTransparent(bool transparent) { data_.Transparent = transparent; }
  std::uint32_t TransparentColor() const { return data_.TransparentColor; }
  // Re-keys every surface of the item at once.
  void SetTransparentColor(std::uint32_t bgr);
  const Picture& GetPicture() const { return data_.Image; }

  // Pattern size: PatternWidth/PatternHeight when above 0, else the picture's size.
  int Width() const;
  int Height() const;
  // The built patterns' number while initialised, before that the count the picture allows.
  int PatternCount() const;
  // The pattern's rectangle within its surface; (0, 0, 0, 0) out of range.
  Rect PatternRect(int pattern) const;
  // The surface a built pattern lives on; null out of range or while not initialised.
  const Surface* PatternSurface(int pattern) const;
  // The colour key in the surfaces' format.
  Pixel565 ColorKey() const { return colorKey_; }
  bool Initialized() const { return initialized_; }

  // Copies the pattern with its top-left corner at (x, y), clipped to the surface, skipping
  // pixels equal to the key when Transparent. Draws nothing when not initialised or out of range.
  void Draw(Surface& target, int x, int y, int pattern) const;
  // Draw, each drawn pixel half the pattern's colour and half the target's.
  void DrawHalfTransparent(Surface& target, int x, int y, int pattern) const;
  // Draws the pattern scaled to width x height and turned clockwise by angle/256 of a full turn
  // about the pivot at the fractions (centerX, centerY) of the scaled pattern, with the pivot
  // placed at (x, y). Transparent pixels are always skipped; nearest-pixel sampling.
  void DrawRotate(Surface& target, int x, int y, int width, int height, int pattern, double centerX,
                  double centerY, int angle) const;

  // Makes the patterns available (built at their first use); Finalize drops them. Called by the
  // list.
  void Initialize();
  void Finalize();

 private:
  friend class ImageCollection;
  struct Pattern {
    Rect Area;
    int SurfaceIndex = 0;
  };

  // Builds the patterns if the item is initialised and they are not built yet.
  void EnsureBuilt() const;
  void BuildPatterns() const;
  void BuildSurface(const Rect& area) const;
  // The pattern's rows clipped to the target, each handed to drawRow(to, from, count).
  template <typename RowDrawer>
  void DrawRows(Surface& target, int x, int y, int pattern, RowDrawer drawRow) const;

  ImageCollection& collection_;
  ImageItemData data_;
  bool initialized_ = false;
  Pixel565 colorKey_ = 0;
  // Built on demand by the const accessors, hence mutable.
  mutable bool built_ = false;
  mutable std::vector<Surface> surfaces_;
  mutable std::vector<Pattern> patterns_;
};

// The items of one image list in file order, with a 256-bucket name index.
class ImageCollection {
 public:
  explicit ImageCollection(ImageList& owner);
  ~ImageCollection();
  ImageCollection(const ImageCollection&) = delete;
  ImageCollection& operator=(const ImageCollection&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Throws ImageListError "Index of the list exceeds the range. (%d)" out of range.
  ImageItem& Items(int index) const;
  // Appends an item; it is built at once when the list is bound to an initialised display.
  ImageItem& Add(ImageItemData data);
  void Clear();

  // Replaces the items with the archive's, in file order. When the file cannot be read the
  // error propagates and the items stay as they were.
  void LoadArchive(const std::string& fileName);
  void Assign(std::vector<ImageItemData> items);

  // The most recently named item whose name equals name ignoring case, or null.
  ImageItem* Find(std::string_view name) const;
  // Throws ImageListError "Image '%s' not found".
  ImageItem& ItemByName(std::string_view name) const;

  // Builds every item's patterns; throws "TImageList cannot be initialized" when the list is not
  // bound to an initialised display.
  void Initialize();
  void Finalize();
  bool Initialized() const { return initialized_; }

 private:
  friend class ImageItem;
  friend class ImageList;
  void BuildAll();

  ImageList& owner_;
  std::vector<std::unique_ptr<ImageItem>> items_;
  NameIndex<ImageItem> index_;
  bool initialized_ = false;
};

// An image list bound to a display: it builds its items' patterns when the display is
// initialised and frees them when it is finalised.
class ImageList final : public DisplaySubscriber {
 public:
  ImageList();
  ~ImageList() override;
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  ImageCollection& Items() { return items_; }
  const ImageCollection& Items() const { return items_; }
  ImageItem& ItemByName(std::string_view name) const { return items_.ItemByName(name); }

  // Subscribes to the display (null unbinds); binds at once when it is already initialised.
  void SetDisplay(DisplayPublisher* display);
  DisplayPublisher* Display() const { return display_; }
  bool DisplayReady() const { return display_ != nullptr && display_->IsInitialized(); }

  void DisplayInitialized(Surface& backBuffer) override;
  void DisplayFinalized() override;
  void DisplayDestroyed() override;

 private:
  ImageCollection items_;
  DisplayPublisher* display_ = nullptr;
};

}  // namespace rivoltra
