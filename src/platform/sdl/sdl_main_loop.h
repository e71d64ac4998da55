#pragma once

namespace rivoltra {

// Runs the game in a real window until it ends; returns the process exit status.
int RunSdlProgram();

}  // namespace rivoltra
