#include "engine/display.h"

#include <algorithm>
#include <exception>

namespace rivoltra {

Display::~Display() {
  try {
    Finalize();
  } catch (...) {
    // A subscriber failing while the program ends must not turn into std::terminate.
  }
  const auto subscribers = subscribers_;
  for (DisplaySubscriber* subscriber : subscribers) subscriber->DisplayDestroyed();
}

void Display::Initialize() {
  if (initialized_) Finalize();
  busy_ = true;
  std::string reason;
  if (!presenter_.Open(FullScreenOption, kWidth, kHeight, reason)) {
    busy_ = false;
    std::string message = FullScreenOption ? "Display mode cannot be changed (800x600 16bit)"
                                           : "Primary Surface cannot be made";
    if (!reason.empty()) message += ": " + reason;
    throw DisplayError(message);
  }
  activeFullScreen_ = FullScreenOption;
  backBuffer_.Resize(kWidth, kHeight);
  initialized_ = true;
  try {
    for (DisplaySubscriber* subscriber : subscribers_) subscriber->DisplayInitialized(backBuffer_);
    if (OnInitialize) OnInitialize();
    backBuffer_.Fill(0);
  } catch (...) {
    busy_ = false;
    Finalize();
    throw;
  }
  busy_ = false;
}

void Display::Finalize() {
  if (!initialized_) return;
  std::exception_ptr firstError;
  // Every subscriber hears of the end even if an earlier one fails.
  for (DisplaySubscriber* subscriber : subscribers_) {
    try {
      subscriber->DisplayFinalized();
    } catch (...) {
      if (!firstError) firstError = std::current_exception();
    }
  }
  try {
    if (OnFinalize) OnFinalize();
  } catch (...) {
    if (!firstError) firstError = std::current_exception();
  }
  initialized_ = false;
  presenter_.Close();
  if (firstError) std::rethrow_exception(firstError);
}

void Display::Flip() {
  if (!initialized_ || busy_) return;
  presenter_.Present(backBuffer_);
}

void Display::Repaint() { Flip(); }

void Display::Subscribe(DisplaySubscriber& subscriber) {
  if (std::find(subscribers_.begin(), subscribers_.end(), &subscriber) == subscribers_.end())
    subscribers_.push_back(&subscriber);
}

void Display::Unsubscribe(DisplaySubscriber& subscriber) { std::erase(subscribers_, &subscriber); }

}  // namespace rivoltra
