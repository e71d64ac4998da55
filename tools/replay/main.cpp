// rivoltra-replay: inspects ".rvr" replay files.
//   rivoltra-replay info FILE   the header and trailer as one JSON line
// Exit status: 0 done, 2 bad arguments or a file that cannot be read as a replay.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "persist/replay_file.h"
#include "replay_json.h"

namespace {

constexpr char kUsage[] =
    "usage: rivoltra-replay info FILE\n"
    "  info  prints the replay's header and trailer (format and game version, data\n"
    "        fingerprint, car, random state, ticks, score, level, name, country) as one\n"
    "        JSON line\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "rivoltra-replay: %s\n%s", problem, kUsage);
  return 2;
}

int Info(const char* path) {
  try {
    const std::string bytes = rivoltra::ReadReplayFileBytes(path);
    const rivoltra::Replay replay = rivoltra::ReadReplay(bytes, path);
    std::printf("%s\n", rivoltra::replay_tool::InfoJson(replay, bytes.size()).c_str());
    return 0;
  } catch (const rivoltra::ReplayError& error) {
    std::fprintf(stderr, "rivoltra-replay: %s\n", error.what());
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command");
  const std::string_view command = argv[1];
  // "verify FILE" joins here once the race rules can run from a replay's ticks alone.
  if (command == "info") {
    if (argc != 3) return Usage("info takes one FILE");
    return Info(argv[2]);
  }
  return Usage(("unknown command \"" + std::string(command) + "\"").c_str());
}
