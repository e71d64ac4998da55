#include "platform/desktop/sdl_main_loop.h"

#include <SDL.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/app.h"
#include "platform/desktop_http.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_platform.h"

namespace rivoltra {

namespace {

void DeliverPending(App& app, const SDL_Event& event) {
  TranslateSdlEvent(event, [&app](const InputEvent& input) {
    if (!app.Finished()) app.HandleEvent(input);
  });
}

// The desktop's deadline loop: events first, then the ticks that are due, then a sleep until
// the next one is due on an absolute deadline, so oversleeps never add up.
void RunMessageLoop(App& app, SdlPlatform& platform, const LoopHooks& hooks) {
  while (!app.Finished()) {
    SDL_Event event;
    while (!app.Finished() && SDL_PollEvent(&event)) DeliverPending(app, event);
    if (app.Finished()) break;
    const std::uint32_t now = platform.Milliseconds();
    const DueTicks due = app.RunDueTicks(now);
    if (due.Ticked && hooks.AfterTick) hooks.AfterTick(app.State(), now);
    if (app.Finished()) break;
    if (!due.UntilNext) {
      // Nothing to tick (no focus, or between screens): wait for the window instead.
      if (SDL_WaitEventTimeout(&event, 100) != 0) DeliverPending(app, event);
      continue;
    }
    if (*due.UntilNext > 0) platform.SleepUntil(now + *due.UntilNext);
  }
}

}  // namespace

int RunSdlProgram(const LoopHooks& hooks, const AppStep& setup, const AppStep& afterStart) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "Rivoltra: %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  {
    std::unique_ptr<SdlPlatform> platform;
    std::unique_ptr<App> app;
    try {
      platform = std::make_unique<SdlPlatform>(OpenDesktopHttp);
      app = std::make_unique<App>(*platform);
      if (setup) setup(*app);
      app->Start();
      if (afterStart) afterStart(*app);
      platform->StartSoundOutput();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "Rivoltra: %s\n", error.what());
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rivoltra", error.what(),
                               platform ? platform->Window() : nullptr);
      status = 1;
    }
    if (status == 0) {
      SDL_StartTextInput();
      RunMessageLoop(*app, *platform, hooks);
      SDL_HideWindow(platform->Window());
      app->Shutdown();
    }
  }
  SDL_Quit();
  return status;
}

}  // namespace rivoltra
