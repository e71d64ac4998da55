#pragma once
// The real program in a real window, for tests that play it through the SDL backend: a watcher
// is told after every frame tick, and a loop that never ticks (no focus ever reached the window)
// is ended from outside by a quit event after the wall-clock limit.
#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/desktop/sdl_main_loop.h"

namespace rivoltra::testsupport {

// Returns the program's exit status; `stuck` tells whether the limit ended it.
inline int RunWatchedSdlProgram(const std::function<void(Game&)>& afterTick,
                                std::chrono::seconds wallClockLimit, bool& stuck) {
  LoopHooks hooks;
  hooks.AfterTick = [&afterTick](Game& game, std::uint32_t) { afterTick(game); };
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    if (!ended.wait_for(lock, wallClockLimit, [&] { return done; })) {
      stuck = true;
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
  });
  const int status = RunSdlProgram(hooks);
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  ended.notify_all();
  watchdog.join();
  return status;
}

}  // namespace rivoltra::testsupport
