#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/display_notices.h"
#include "engine/surface.h"

namespace rivoltra {

// What the display needs from the machine: a place to show an 800 x 600 5-6-5 picture, in a
// window or full screen. The SDL backend shows it; the null backend keeps the last one.
class DisplayPresenter {
 public:
  virtual ~DisplayPresenter() = default;
  // Builds the presentation for the mode; returns false (with a reason) when it cannot.
  virtual bool Open(bool fullScreen, int width, int height, std::string& reason) = 0;
  virtual void Close() = 0;
  // Shows the back buffer. Never waits for vertical blank: the 30 ms tick is not a multiple of
  // a 60 Hz refresh.
  virtual void Present(const Surface& backBuffer) = 0;
  // The window as a whole multiple of the surface's size (0: the largest multiple the desktop
  // holds) and the filter for scaling up, linear when smooth, else nearest. An open window
  // follows at once; a presenter whose size is decided elsewhere (a web page) keeps its size.
  virtual void SetScaling(int windowScale, bool smooth) {
    (void)windowScale;
    (void)smooth;
  }
};

class DisplayError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The display surface: one 800 x 600 back buffer at 16 bits per pixel that the game fills every
// tick and flips. Initialize and Finalize build and tear down the presentation and tell the
// subscribers (image lists, sprite engine), then the game's own events.
class Display final : public DisplayPublisher {
 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;
  static constexpr int kBitCount = 16;

  explicit Display(DisplayPresenter& presenter) : presenter_(presenter) {}
  ~Display() override;
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  std::function<void()> OnInitialize;
  std::function<void()> OnFinalize;

  // dmFullScreen: takes effect at the next Initialize.
  bool FullScreenOption = false;

  void Initialize();
  void Finalize();
  void Flip();
  // Presents the current picture again (a repaint of the window).
  void Repaint();

  void Subscribe(DisplaySubscriber& subscriber) override;
  void Unsubscribe(DisplaySubscriber& subscriber) override;
  bool IsInitialized() const override { return initialized_; }
  Surface& BackBuffer() override { return backBuffer_; }
  const Surface& BackBuffer() const { return backBuffer_; }
  bool IsFullScreen() const { return initialized_ && activeFullScreen_; }

 private:
  DisplayPresenter& presenter_;
  std::vector<DisplaySubscriber*> subscribers_;
  Surface backBuffer_;
  bool initialized_ = false;
  bool busy_ = false;
  bool activeFullScreen_ = false;
};

}  // namespace rivoltra
