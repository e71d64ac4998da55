#pragma once

#include <filesystem>
#include <optional>

namespace rivoltra {

// The folder of the running program, whatever the current folder; empty when the system cannot
// tell (the game then looks for its data from the current folder).
std::filesystem::path ProgramFolder();

// On Windows the player's own folder for the game, %APPDATA%\Rivoltra (created when missing);
// nullopt on the other systems, which keep the saves by their own rules.
std::optional<std::filesystem::path> WindowsPlayerFolder();

}  // namespace rivoltra
