#pragma once

#include <cstdint>
#include <functional>

namespace rivoltra {

struct Game;

// Watchers of the real loop, for measuring tools: told after every frame tick with the clock's
// reading at the moment the tick started; they may end the run by setting Terminated.
struct LoopHooks {
  std::function<void(Game& game, std::uint32_t nowMilliseconds)> afterTick;
};

// Sets the game's folders and options up before its start-up runs.
using GameSetup = std::function<void(Game& game)>;

// Runs the game in a real window until it ends; returns the process exit status. afterStart
// runs once the main menu stands, before the first tick.
int RunSdlProgram(const LoopHooks& hooks = {}, const GameSetup& setup = {},
                  const GameSetup& afterStart = {});

}  // namespace rivoltra
