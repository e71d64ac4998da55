#pragma once

#include <functional>

namespace rivoltra {

struct Game;

// Sets the game's folders and options up before its start-up runs.
using WebGameSetup = std::function<void(Game& game)>;

// Starts the game in the page's canvas and hands the frames over to the browser's animation
// frames; returns at once (the page keeps the program alive). A start-up failure is shown to
// the player and ends the program. afterStart runs once the main menu stands.
void StartWebProgram(const WebGameSetup& setup, const WebGameSetup& afterStart = {});

}  // namespace rivoltra
