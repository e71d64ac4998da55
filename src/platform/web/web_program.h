#pragma once

#include <memory>
#include <vector>

#include "app/app.h"
#include "platform/web/touch_actions.h"
#include "platform/web/web_platform.h"

namespace rivoltra {

// The running game in the page, shared by the main loop and the functions the page calls.
struct WebProgram {
  std::unique_ptr<WebPlatform> Platform;
  std::unique_ptr<rivoltra::App> App;
  TouchActions Touch;
  // Taps and typed characters from the page, delivered at the next frame's start like SDL's
  // events (a tap on "send" may wait for the network, which only the frame can).
  std::vector<InputEvent> PageEvents;
  // The page asked to send the results kept while offline.
  bool SendUnsentAsked = false;
  int Ticks = 0;
};

// Null until the game has started.
extern WebProgram* program;

// Copies the save folder to the browser's storage.
void PersistSaves();

// The view for the page in one number: the screen in the low byte, then the finish prompt,
// pause, the full-screen option and a playing replay as bits 8 to 11.
int PageViewBits(const AppView& view);

}  // namespace rivoltra
