#pragma once

#include <filesystem>

namespace rivoltra {

// The folder of the running program, whatever the current folder; empty when the system cannot
// tell (the game then looks for its data from the current folder).
std::filesystem::path ProgramFolder();

}  // namespace rivoltra
