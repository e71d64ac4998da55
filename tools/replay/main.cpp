// rivoltra-replay: inspects and verifies ".rvr" replay files.
//   rivoltra-replay info FILE                 the header and trailer as one JSON line
//   rivoltra-replay verify [--data DIR] FILE  plays the game again; one JSON line with the result
// Exit status: 0 done (verify: the run reproduces its result), 1 verify: it does not, 2 bad
// arguments, a file that cannot be read as a replay, or game data that cannot be loaded.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "formats/replay_file.h"
#include "persist/game_paths.h"
#include "replay_json.h"
#include "replay_verifier.h"
#include "system/file_names.h"
#include "system/program_process.h"

namespace {

constexpr char kUsage[] =
    "usage: rivoltra-replay info FILE\n"
    "       rivoltra-replay verify [--data DIR] FILE\n"
    "  info    prints the replay's header and trailer (format and game version, data\n"
    "          fingerprint, car, random state, race ticket, ticks, score, level, name,\n"
    "          country) as one JSON line\n"
    "  verify  plays the game again with the game's data (DIR, else the data the game beside\n"
    "          this program uses) and prints {\"valid\", \"score\", \"level\", \"ticks\",\n"
    "          \"reason\"} as one JSON line; exit status 0 when the run reproduces its recorded\n"
    "          result, 1 when it does not, 2 when the file or the data cannot be read\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "rivoltra-replay: %s\n%s", problem, kUsage);
  return 2;
}

int Info(const std::string& path) {
  try {
    const std::string bytes = rivoltra::ReadReplayFileBytes(rivoltra::PathFromUtf8(path));
    const rivoltra::Replay replay = rivoltra::ReadReplay(bytes, path);
    std::printf("%s\n", rivoltra::replay_tool::InfoJson(replay, bytes.size()).c_str());
    return 0;
  } catch (const rivoltra::ReplayError& error) {
    std::fprintf(stderr, "rivoltra-replay: %s\n", error.what());
    return 2;
  }
}

// The data the installed or built game beside this program reads.
std::filesystem::path DefaultDataFolder() {
  std::error_code error;
  rivoltra::PathInputs inputs;
  inputs.ExecutableFolder = rivoltra::ExecutableFolder();
  if (inputs.ExecutableFolder.empty())
    inputs.ExecutableFolder = std::filesystem::current_path(error);
  return rivoltra::ResolveGamePaths(inputs).DataFolder;
}

int Verify(const std::string& path, const std::optional<std::filesystem::path>& dataFolder) {
  rivoltra::Replay replay;
  try {
    replay = rivoltra::LoadReplayFile(rivoltra::PathFromUtf8(path));
  } catch (const rivoltra::ReplayError& error) {
    std::fprintf(stderr, "rivoltra-replay: %s\n", error.what());
    return 2;
  }
  try {
    const rivoltra::replay_tool::Verdict verdict =
        rivoltra::replay_tool::VerifyReplay(replay, dataFolder.value_or(DefaultDataFolder()));
    std::printf("%s\n", rivoltra::replay_tool::VerdictJson(verdict).c_str());
    return verdict.Valid ? 0 : 1;
  } catch (const std::exception& error) {
    // The game's data could not be loaded.
    std::fprintf(stderr, "rivoltra-replay: %s\n", error.what());
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = rivoltra::ProgramArguments(argc, argv);
  if (arguments.empty()) return Usage("no command");
  const std::string& command = arguments[0];
  if (command == "verify") {
    if (arguments.size() == 2) return Verify(arguments[1], std::nullopt);
    if (arguments.size() == 4 && arguments[1] == "--data") {
      return Verify(arguments[3], rivoltra::PathFromUtf8(arguments[2]));
    }
    return Usage("verify takes [--data DIR] FILE");
  }
  if (command == "info") {
    if (arguments.size() != 2) return Usage("info takes one FILE");
    return Info(arguments[1]);
  }
  return Usage(("unknown command \"" + std::string(command) + "\"").c_str());
}
