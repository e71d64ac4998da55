#pragma once

#include <string>

#include "app/app.h"

namespace rivoltra {

// Starts the game in the page's canvas and hands the frames over to the browser's animation
// frames; returns at once (the page keeps the program alive). A start-up failure is shown to
// the player and ends the program. A replay file, when given, plays from the main menu; one that
// cannot be played is said so, and the game is there to play.
void StartWebProgram(const StartOptions& options, const std::string& replayFile = {});

}  // namespace rivoltra
