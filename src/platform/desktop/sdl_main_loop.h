#pragma once

#include <cstdint>
#include <functional>

namespace rivoltra {

struct Game;

// Watchers of the real loop, for measuring tools: told after every frame tick with the clock's
// reading at the moment the tick started; they may end the run by setting Terminated.
struct LoopHooks {
  std::function<void(Game& game, std::uint32_t nowMilliseconds)> AfterTick;
};

class App;

// A step of the frontend's own on the app: setup runs before the start-up (folders, options),
// afterStart once the main menu stands, before the first tick. Either may throw; the message is
// shown as a failed start-up's.
using AppStep = std::function<void(App& app)>;

// Runs the game in a real window until it ends; returns the process exit status.
int RunSdlProgram(const LoopHooks& hooks = {}, const AppStep& setup = {},
                  const AppStep& afterStart = {});

}  // namespace rivoltra
