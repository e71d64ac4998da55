#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rivoltra {

// What a program needs from its operating system at start-up; each system's build links its own
// implementation (system/posix, system/windows).

// The program's arguments after its name, as UTF-8. Windows hands argv over in the ANSI code
// page, which cannot spell every folder name; there they come from the wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// A windowed Windows program has no console: when it was started from one, its output and
// errors go to that console instead of nowhere. Elsewhere there is nothing to do.
void UseParentConsole();

// The folder of the running program, empty when the system cannot tell.
std::filesystem::path ExecutableFolder();

}  // namespace rivoltra
