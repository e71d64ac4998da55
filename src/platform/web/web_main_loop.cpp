#include "platform/web/web_main_loop.h"

#include <SDL.h>
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>

#include "platform/sdl/sdl_events.h"
#include "platform/web/web_program.h"

namespace rivoltra {

namespace {

// The game clock trails the browser's by less than a tick between frames. Further behind, the
// page was stalled (a slow frame, a debugger) or its tab was hidden and got no frames: the game
// clock then jumps to the browser's, and after a stall the game's own lag count covers the gap,
// as after a stall on the desktop, instead of a burst of catch-up ticks.
constexpr std::uint32_t kMaxCatchUpMilliseconds = 120;
// A bound on the ticks of one frame whatever the timer answers.
constexpr int kMaxTicksPerFrame = 8;

// The page's hook after every tick: the game clock the tick ran at, its screen and number, the
// view, the touch actions it read, and how long after its deadline it ran (the page measures the
// time from a touch to the tick that read it). The browser test may answer "hold" to stop the
// game on this tick's picture.
bool ReportTick(WebProgram& web, std::uint32_t clock, ActionStates touched) {
  const auto late = static_cast<std::int32_t>(web.Platform->RealMilliseconds() - clock);
  // clang-format off
  return EM_ASM_INT({
    return Module['rivoltraTick'] ? Module['rivoltraTick']($0, $1, $2, $3, $4, $5) : 0;
  }, clock, static_cast<int>(web.App->View().Screen), web.Ticks, PageViewBits(web.App->View()),
     touched.Bits(), late) != 0;
  // clang-format on
}

// A tab that is hidden or shown again is the page's inactive or active window. Touches are the
// page's own (the touch buttons and taps): SDL's mouse events made from them would click twice.
void DeliverEvent(App& app, const SDL_Event& event) {
  const auto deliver = [&app](const InputEvent& input) {
    if (!app.Finished()) app.HandleEvent(input);
  };
  if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_HIDDEN) {
    deliver(InputEvent::Of(InputKind::FocusLost));
  } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SHOWN) {
    deliver(InputEvent::Of(InputKind::FocusGained));
  } else if ((event.type == SDL_MOUSEMOTION && event.motion.which == SDL_TOUCH_MOUSEID) ||
             ((event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) &&
              event.button.which == SDL_TOUCH_MOUSEID)) {
    return;
  } else {
    TranslateSdlEvent(event, deliver);
  }
}

// The page's taps and typed characters, in the order they came.
bool DeliverEventsOfPage(WebProgram& web) {
  if (web.PageEvents.empty()) return false;
  std::vector<InputEvent> events;
  events.swap(web.PageEvents);
  for (const InputEvent& event : events) {
    if (!web.App->Finished()) web.App->HandleEvent(event);
  }
  return true;
}

// The ticks due by the browser's clock, each run at its own deadline on the game clock, so a
// display at 60, 120 or 144 Hz (or anything else) gets the game's tick rate and every tick sees
// the same 30 ms step; between screens the game clock simply follows the browser's.
void RunDueTicks(WebProgram& web, std::uint32_t real) {
  WebPlatform& platform = *web.Platform;
  for (int ran = 0; ran < kMaxTicksPerFrame && !web.App->Finished();) {
    const std::uint32_t clock = platform.Milliseconds();
    const ActionStates touched = web.Touch.ForTick();
    web.App->SetHeldActions(touched);
    const DueTicks due = web.App->RunDueTicks(clock);
    if (due.Ticked) {
      ++web.Ticks;
      ++ran;
      web.Touch.TickRan();
      web.App->SetHeldActions(web.Touch.ForTick());
      if (ReportTick(web, clock, touched)) {
        emscripten_pause_main_loop();
        return;
      }
    }
    if (!due.UntilNext) {
      platform.SetClock(real);
      return;
    }
    const std::uint32_t next = clock + *due.UntilNext;
    if (static_cast<std::int32_t>(next - real) > 0) return;
    platform.SetClock(next);
  }
}

// The kept results go out when the page asked (it came online, or it started) and the game is
// not in a race, so a reply never holds a race's picture.
void SendUnsentWhenAsked(WebProgram& web) {
  if (!web.SendUnsentAsked || web.App->View().Screen == AppScreen::Race) return;
  web.SendUnsentAsked = false;
  const UnsentSending sending = web.App->SendUnsentResults();
  PersistSaves();
  EM_ASM(
      {
        if (Module['rivoltraUnsentSent']) Module['rivoltraUnsentSent']($0, $1);
      },
      sending.Sent, sending.Left);
}

void EndProgram(WebProgram& web) {
  emscripten_cancel_main_loop();
  SDL_HideWindow(web.Platform->Window());
  web.App->Shutdown();
  PersistSaves();
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
  const std::uint32_t real = web.Platform->RealMilliseconds();
  if (static_cast<std::int32_t>(real - web.Platform->Milliseconds()) >
      static_cast<std::int32_t>(kMaxCatchUpMilliseconds)) {
    web.Platform->SetClock(real);
  }
  bool handled = DeliverEventsOfPage(web);
  SDL_Event event;
  while (!web.App->Finished() && SDL_PollEvent(&event)) {
    DeliverEvent(*web.App, event);
    handled = true;
  }
  if (!web.App->Finished()) SendUnsentWhenAsked(web);
  if (!web.App->Finished()) RunDueTicks(web, real);
  if (web.App->Finished()) {
    EndProgram(web);
    return;
  }
  // Settings and scores change only through the player's input; a result kept for later is
  // written on a menu screen, so the save folder goes to the browser's storage after any menu
  // input too.
  if (handled && (web.App->SaveIfChanged() || web.App->View().Screen != AppScreen::Race)) {
    PersistSaves();
  }
}

}  // namespace

WebProgram* program = nullptr;

void PersistSaves() {
  EM_ASM({
    if (Module['rivoltraPersistSaves']) Module['rivoltraPersistSaves']();
  });
}

int PageViewBits(const AppView& view) {
  return (static_cast<int>(view.Screen) & 0xFF) | (view.FinishPrompt ? 1 << 8 : 0) |
         (view.Paused ? 1 << 9 : 0) | (view.FullScreen ? 1 << 10 : 0) |
         (view.WatchingReplay ? 1 << 11 : 0);
}

void StartWebProgram(const StartOptions& options, const std::string& replayFile) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  // The 2D canvas renderer: the picture is copied into the canvas as it is, so what the page
  // shows can be read back pixel for pixel.
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  // SDL would turn its own short waits into asyncify sleeps, which only the functions on the
  // way to the score server's fetch are made for.
  SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
  // The page reads touches itself (page.js): SDL's mouse made of them would tap twice.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "Rivoltra: %s\n", SDL_GetError());
    return;
  }
  auto web = std::make_unique<WebProgram>();
  try {
    web->Platform = std::make_unique<WebPlatform>();
    web->App = std::make_unique<App>(*web->Platform);
    web->App->Configure(options);
    web->App->Start();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "Rivoltra: %s\n", error.what());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rivoltra", error.what(), nullptr);
    return;
  }
  if (!replayFile.empty()) {
    if (const std::string refused = web->App->WatchReplayFile(replayFile); !refused.empty()) {
      web->Platform->ShowMessage(refused);
    }
  }
  SDL_StartTextInput();
  program = web.release();
  // fps 0: the browser's animation frames.
  emscripten_set_main_loop(AnimationFrame, 0, 0);
}

}  // namespace rivoltra
