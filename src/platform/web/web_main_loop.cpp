#include "platform/web/web_main_loop.h"

#include <SDL.h>
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/app.h"
#include "app/game.h"
#include "engine/keyboard_codes.h"
#include "platform/sdl/sdl_events.h"
#include "platform/web/web_platform.h"
#include "platform/web/web_saves.h"

namespace rivoltra {

namespace {

// The game clock trails the browser's by less than a tick between frames. Further behind, the
// page was stalled (a slow frame, a debugger) or its tab was hidden and got no frames: the game
// clock then jumps to the browser's, and after a stall the game's own lag count covers the gap,
// as after a stall on the desktop, instead of a burst of catch-up ticks.
constexpr std::uint32_t kMaxCatchUpMilliseconds = 120;
// A bound on the ticks of one frame whatever the timer answers.
constexpr int kMaxTicksPerFrame = 8;

struct WebProgram {
  std::unique_ptr<WebPlatform> platform;
  std::unique_ptr<App> app;
  WebSaves saves;
  int ticks = 0;
};

WebProgram* program = nullptr;

// A tab that is hidden or shown again is the page's inactive or active window.
void DeliverEvent(App& app, const SDL_Event& event) {
  const auto deliver = [&app](const InputEvent& input) {
    if (!app.Finished()) app.HandleEvent(input);
  };
  if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_HIDDEN) {
    deliver(InputEvent::Of(InputEvent::Kind::FocusLost));
  } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SHOWN) {
    deliver(InputEvent::Of(InputEvent::Kind::FocusGained));
  } else {
    TranslateSdlEvent(event, deliver);
  }
}

// The page's measuring hook: the tick's number, its game clock and the screen it ran on. The
// browser test may answer "hold" to stop the game on that tick's picture.
bool ReportTick(const WebProgram& web, std::uint32_t clock) {
  // clang-format off
  return EM_ASM_INT({
    return Module['rivoltraTick'] ? Module['rivoltraTick']($0, $1, $2) : 0;
  }, clock, static_cast<int>(web.app->State().ScreenState), web.ticks) != 0;
  // clang-format on
}

// The ticks due by the browser's clock, each run at its own deadline on the game clock, so a
// display at 60, 120 or 144 Hz (or anything else) gets the game's tick rate and every tick sees
// the same 30 ms step; between screens the game clock simply follows the browser's.
void RunDueTicks(WebProgram& web, std::uint32_t real) {
  WebPlatform& platform = *web.platform;
  for (int ran = 0; ran < kMaxTicksPerFrame && !web.app->Finished();) {
    const std::uint32_t clock = platform.Milliseconds();
    const DueTicks due = web.app->RunDueTicks(clock);
    if (due.ticked) {
      ++web.ticks;
      ++ran;
      if (ReportTick(web, clock)) {
        emscripten_pause_main_loop();
        return;
      }
    }
    if (!due.untilNext) {
      platform.SetClock(real);
      return;
    }
    const std::uint32_t next = clock + *due.untilNext;
    if (static_cast<std::int32_t>(next - real) > 0) return;
    platform.SetClock(next);
  }
}

void EndProgram(WebProgram& web) {
  emscripten_cancel_main_loop();
  SDL_HideWindow(web.platform->Window());
  web.app->Shutdown();
  web.saves.Persist();
  EM_ASM({
    if (Module['rivoltraEnded']) Module['rivoltraEnded']();
  });
}

// One animation frame: the events, then the ticks that are due. A score request suspends the
// program (asyncify) from inside a frame: the frame and the calls down to the fetch are the
// instrumented ones (web/asyncify_only.txt), the suspension pauses the main loop, and the reply
// resumes the frame where it was.
void AnimationFrame() {
  WebProgram& web = *program;
  const std::uint32_t real = web.platform->RealMilliseconds();
  if (static_cast<std::int32_t>(real - web.platform->Milliseconds()) >
      static_cast<std::int32_t>(kMaxCatchUpMilliseconds)) {
    web.platform->SetClock(real);
  }
  bool handled = false;
  SDL_Event event;
  while (!web.app->Finished() && SDL_PollEvent(&event)) {
    DeliverEvent(*web.app, event);
    handled = true;
  }
  if (!web.app->Finished()) RunDueTicks(web, real);
  if (web.app->Finished()) {
    EndProgram(web);
    return;
  }
  // Settings and scores change only through the player's input.
  if (handled) web.saves.SaveWhenChanged(web.app->State());
}

}  // namespace

void StartWebProgram(const WebGameSetup& setup, const WebGameSetup& afterStart) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  // The 2D canvas renderer: the picture is copied into the canvas as it is, so what the page
  // shows can be read back pixel for pixel.
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  // SDL would turn its own short waits into asyncify sleeps, which only the functions on the
  // way to the score server's fetch are made for.
  SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "Rivoltra: %s\n", SDL_GetError());
    return;
  }
  auto web = std::make_unique<WebProgram>();
  try {
    web->platform = std::make_unique<WebPlatform>();
    web->app = std::make_unique<App>(*web->platform);
    if (setup) setup(web->app->State());
    web->app->Start();
    if (afterStart) afterStart(web->app->State());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "Rivoltra: %s\n", error.what());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rivoltra", error.what(), nullptr);
    return;
  }
  web->saves.Remember(web->app->State());
  SDL_StartTextInput();
  program = web.release();
  // fps 0: the browser's animation frames.
  emscripten_set_main_loop(AnimationFrame, 0, 0);
}

// The page saves when it is hidden or closed, the last moment it is sure to run.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_save_now() {
  if (program == nullptr || program->app->Finished()) return;
  program->saves.SaveWhenChanged(program->app->State());
}

// The page's full-screen button, and the page's correction when the browser left or refused full
// screen: the game's own Alt+Enter, so its option follows.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_toggle_full_screen() {
  if (program == nullptr || program->app->Finished()) return;
  program->app->HandleEvent(InputEvent::Key(InputEvent::Kind::KeyDown, VirtualKey::Enter,
                                            ShiftState{false, true, false}));
}

// Lets a game held by the page's tick hook go on.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_resume() { emscripten_resume_main_loop(); }

// The browser test's way to a score worth a table entry, which a player who only holds Up never
// reaches: sets the running race's score. The score server trusts a page no more than any other
// client, so this gives nobody more than the page's console already could.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_test_set_race_score(int score) {
  if (program == nullptr || program->app->State().ScreenState != GameScreen::Race) return;
  program->app->State().race.Score = score;
}

// Whether the game's option is full screen, for the page to compare with the browser's state.
extern "C" EMSCRIPTEN_KEEPALIVE int rivoltra_full_screen_option() {
  return program != nullptr && program->app->State().settings.FullScreen == 1 ? 1 : 0;
}

}  // namespace rivoltra
