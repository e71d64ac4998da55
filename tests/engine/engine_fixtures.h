#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/display_notices.h"
#include "engine/image_archive.h"
#include "engine/surface.h"

namespace rivoltra::testing {

// A display that sends its notices when told to.
class FakeDisplay final : public DisplayPublisher {
 public:
  explicit FakeDisplay(int width = 800, int height = 600) : backBuffer_(width, height) {}
  ~FakeDisplay() override {
    auto subscribers = subscribers_;
    for (DisplaySubscriber* s : subscribers) s->DisplayDestroyed();
  }

  void Subscribe(DisplaySubscriber& s) override {
    if (std::find(subscribers_.begin(), subscribers_.end(), &s) == subscribers_.end()) {
      subscribers_.push_back(&s);
    }
  }
  void Unsubscribe(DisplaySubscriber& s) override { std::erase(subscribers_, &s); }
  bool IsInitialized() const override { return initialized_; }
  Surface& BackBuffer() override { return backBuffer_; }

  void Initialize() {
    initialized_ = true;
    for (DisplaySubscriber* s : subscribers_) s->DisplayInitialized(backBuffer_);
  }
  void Finalize() {
    for (DisplaySubscriber* s : subscribers_) s->DisplayFinalized();
    initialized_ = false;
  }
  int SubscriberCount() const { return static_cast<int>(subscribers_.size()); }

 private:
  Surface backBuffer_;
  std::vector<DisplaySubscriber*> subscribers_;
  bool initialized_ = false;
};

// 0x00RRGGBB whose 5-6-5 form keeps (x, y) apart for x, y < 32, tagged by the pattern's blue.
constexpr std::uint32_t CoordinateColor(int x, int y, int tag = 0) {
  return static_cast<std::uint32_t>((x * 8) << 16 | (y * 4) << 8 | (tag * 8));
}

// A picture whose every pixel is made by color(x, y).
inline Picture MakePicture(int width, int height,
                           const std::function<std::uint32_t(int, int)>& color) {
  Picture p;
  p.Width = width;
  p.Height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) p.Pixels.push_back(color(x, y));
  }
  return p;
}

inline ImageItemData MakeItem(std::string name, Picture picture, int patternWidth = 0,
                              int patternHeight = 0) {
  ImageItemData item;
  item.Name = std::move(name);
  item.Image = std::move(picture);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.TransparentColor = 0;  // black is the key
  return item;
}

}  // namespace rivoltra::testing
