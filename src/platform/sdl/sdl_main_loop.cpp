#include "platform/sdl/sdl_main_loop.h"

#include <SDL.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/game.h"
#include "app/input_events.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_platform.h"

namespace rivoltra {

namespace {

ShiftState ShiftOf(Uint16 modifiers) {
  return ShiftState{(modifiers & KMOD_SHIFT) != 0, (modifiers & KMOD_ALT) != 0,
                    (modifiers & KMOD_CTRL) != 0};
}

// Enter, Escape and Backspace have no text event in SDL; the window's character path still
// needs them, so they become characters here.
void KeyDownAsCharacter(Game& game, const SDL_KeyboardEvent& key) {
  if ((key.keysym.mod & KMOD_ALT) != 0) return;
  switch (key.keysym.scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: FormKeyPress(game, '\r'); break;
    case SDL_SCANCODE_ESCAPE: FormKeyPress(game, '\x1B'); break;
    case SDL_SCANCODE_BACKSPACE: FormKeyPress(game, '\b'); break;
    default: break;
  }
}

void DispatchWindowEvent(Game& game, const SDL_WindowEvent& window) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: ApplicationActivated(game); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: ApplicationDeactivated(game); break;
    case SDL_WINDOWEVENT_EXPOSED: game.MDisplay.Repaint(); break;
    case SDL_WINDOWEVENT_CLOSE: game.Terminated = true; break;
    default: break;
  }
}

void DispatchEvent(Game& game, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: game.Terminated = true; break;
    case SDL_WINDOWEVENT: DispatchWindowEvent(game, event.window); break;
    case SDL_KEYDOWN:
      FormKeyDown(game, VirtualKeyOfScancode(event.key.keysym.scancode), ShiftOf(event.key.keysym.mod));
      KeyDownAsCharacter(game, event.key);
      break;
    case SDL_KEYUP:
      FormKeyUp(game, VirtualKeyOfScancode(event.key.keysym.scancode), ShiftOf(event.key.keysym.mod));
      break;
    case SDL_TEXTINPUT:
      for (const char* c = event.text.text; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) < 0x80) FormKeyPress(game, *c);
      }
      break;
    case SDL_MOUSEMOTION: MDisplayMouseMove(game, event.motion.x, event.motion.y); break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) MDisplayClick(game);
      break;
    default: break;
  }
}

void RunMessageLoop(Game& game, SdlPlatform& platform, const LoopHooks& hooks) {
  while (!game.Terminated) {
    SDL_Event event;
    while (!game.Terminated && SDL_PollEvent(&event)) DispatchEvent(game, event);
    if (game.Terminated) break;
    if (!game.MTimer.Hooked()) {
      // Nothing to tick (no focus, or between screens): wait for the window instead.
      if (SDL_WaitEventTimeout(&event, 100) != 0) DispatchEvent(game, event);
      continue;
    }
    const std::uint32_t now = platform.Milliseconds();
    if (game.MTimer.Idle(now)) {
      if (hooks.afterTick) hooks.afterTick(game, now);
      continue;
    }
    platform.SleepUntil(platform.Milliseconds() + game.MTimer.MillisecondsUntilDue(platform.Milliseconds()));
  }
}

}  // namespace

int RunSdlProgram(const LoopHooks& hooks, const GameSetup& setup) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "Rivoltra: %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  {
    std::unique_ptr<SdlPlatform> platform;
    std::unique_ptr<Game> game;
    try {
      platform = std::make_unique<SdlPlatform>();
      game = std::make_unique<Game>(*platform);
      if (setup) setup(*game);
      FormCreate(*game);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "Rivoltra: %s\n", error.what());
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rivoltra", error.what(),
                               platform ? platform->Window() : nullptr);
      status = 1;
    }
    if (status == 0) {
      SDL_StartTextInput();
      RunMessageLoop(*game, *platform, hooks);
      SDL_HideWindow(platform->Window());
      RunProgramEnd(*game);
    }
  }
  SDL_Quit();
  return status;
}

}  // namespace rivoltra
