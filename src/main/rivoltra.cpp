// The game in a real window.
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app.h"
#include "formats/replay_file.h"
#include "main/command_line.h"
#include "persist/online_config_file.h"
#include "platform/desktop/sdl_main_loop.h"
#include "platform/desktop/sdl_program_folder.h"
#include "system/program_process.h"

namespace {

using namespace rivoltra;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

GamePaths PathsFor(const CommandLine& line) {
  return ResolveGamePaths(PathInputs{ProgramFolder(), line.DataFolder, line.SaveFolder,
                                     Environment("XDG_DATA_HOME"), Environment("HOME"),
                                     WindowsPlayerFolder()});
}

// The build's addresses, then the save folder's online.conf, then the command line.
OnlineConfig OnlineFor(const CommandLine& line, const GamePaths& paths) {
  OnlineConfig online = DefaultOnlineConfig();
  for (const std::string& problem :
       LoadOnlineConfigFile(paths.SaveFile(kOnlineConfigFileName), online)) {
    std::fprintf(stderr, "Rivoltra: %s\n", problem.c_str());
  }
  if (line.ServerAddress) online.ServerBase = *line.ServerAddress;
  if (line.WebSite) online.WebSite = *line.WebSite;
  return online;
}

// A replay of another version or other data would go its own way from the first tick: the player
// is told so instead, as of a start-up that failed (message box, stderr, exit status 1).
void WatchReplay(App& app, const Replay& replay) {
  if (const std::string refused = app.WatchReplay(replay); !refused.empty()) {
    throw std::runtime_error(refused);
  }
}

}  // namespace

int main(int argc, char** argv) {
  UseParentConsole();
  const std::string program = argc > 0 ? argv[0] : "rivoltra";
  const CommandLine line = ParseCommandLine(ProgramArguments(argc, argv));
  switch (line.Action) {
    case CommandLineAction::Help:
      std::fputs(UsageText(program).c_str(), stdout);
      return 0;
    case CommandLineAction::Version:
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    case CommandLineAction::UsageError:
      std::fprintf(stderr, "%s: %s\n%s", program.c_str(), line.Error.c_str(),
                   UsageText(program).c_str());
      return 2;
    case CommandLineAction::Run:
      break;
  }
  const GamePaths paths = PathsFor(line);
  // The archives are read while SDL makes the window and renderer, the longest part of the
  // start-up, instead of after it.
  const auto archives = std::make_shared<std::future<GameArchives>>(
      std::async(std::launch::async, ReadGameArchives, paths));
  if (const std::string problem = PrepareSaveFolder(paths); !problem.empty()) {
    // The game still starts with the default saves; saving at the end reports its own failure.
    std::fprintf(stderr, "Rivoltra: %s\n", problem.c_str());
  }
  const OnlineConfig online = OnlineFor(line, paths);
  std::optional<Replay> replay;
  if (line.ReplayFile) {
    try {
      replay = LoadReplayFile(*line.ReplayFile);
    } catch (const ReplayError& error) {
      std::fprintf(stderr, "%s: %s\n", program.c_str(), error.what());
      return 1;
    }
  }
  StartOptions options{paths, online, line.FullScreen, line.WindowScale,
                       [archives] { return archives->get(); }};
  options.ShowFirstPictureEarly = true;
  const auto setup = [&](App& app) { app.Configure(options); };
  if (!replay) return RunSdlProgram({}, setup);
  return RunSdlProgram({}, setup, [&](App& app) { WatchReplay(app, *replay); });
}
