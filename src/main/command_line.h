#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rivoltra {

// What a run of the program does.
enum class CommandLineAction { Run, Help, Version, UsageError };

// What the player asked for on the command line.
struct CommandLine {
  CommandLineAction Action = CommandLineAction::Run;
  std::string Error;  // with UsageError: what was wrong, for the line above the usage

  std::optional<std::uint8_t> FullScreen;  // --windowed / --fullscreen, for this run only
  std::optional<int> WindowScale;          // --scale N, for this run only
  std::optional<std::filesystem::path> DataFolder;
  std::optional<std::filesystem::path> SaveFolder;
  std::optional<std::string> ServerAddress;
  std::optional<std::string> WebSite;
  std::optional<std::filesystem::path> ReplayFile;  // --replay: watch it instead of playing
};

// Options are "--name" or "--name VALUE" / "--name=VALUE"; anything else is a usage error.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The --help text, one option a line.
std::string UsageText(const std::string& programName);
std::string VersionText();

}  // namespace rivoltra
