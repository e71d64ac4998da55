// Start-up on Linux and in the browser.
#include <system_error>

#include "system/program_process.h"

namespace rivoltra {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0), argv + argc);
}

void UseParentConsole() {}

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program.parent_path();
}

}  // namespace rivoltra
