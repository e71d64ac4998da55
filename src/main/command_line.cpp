#include "main/command_line.h"

#include <functional>
#include <string_view>

#include "persist/online_config_file.h"
#include "persist/preferences.h"
#include "persist/save_numbers.h"
#include "system/file_names.h"

namespace rivoltra {

namespace {

// One row per option: a new option is one more row.
struct OptionSpec {
  std::string_view Name;
  std::string_view ValueName;  // empty for a switch
  std::string_view Help;
  std::function<void(CommandLine& line, const std::string& value)> Apply;
};

void RequireWebAddress(CommandLine& line, std::string_view option, const std::string& value,
                       std::optional<std::string>& target) {
  if (IsWebAddress(value)) {
    target = value;
  } else {
    line.Action = CommandLineAction::UsageError;
    line.Error = std::string(option) + ": not an http:// or https:// address: " + value;
  }
}

void RequireWindowScale(CommandLine& line, const std::string& value) {
  if (value == "fit") {
    line.WindowScale = kWindowScaleFit;
    return;
  }
  const std::optional<std::int32_t> scale = ParseSaveNumber(value, true);
  if (scale && *scale >= 1 && *scale <= kMaxWindowScale) {
    line.WindowScale = *scale;
  } else {
    line.Action = CommandLineAction::UsageError;
    line.Error = "--scale: not a whole number from 1 to " + std::to_string(kMaxWindowScale) +
                 " or \"fit\": " + value;
  }
}

const std::vector<OptionSpec>& Options() {
  static const std::vector<OptionSpec> kOptions = {
      {"--help", "", "show this help and exit",
       [](CommandLine& l, auto&) { l.Action = CommandLineAction::Help; }},
      {"--version", "", "show the version and exit",
       [](CommandLine& l, auto&) { l.Action = CommandLineAction::Version; }},
      {"--windowed", "", "play in a window this time (the saved setting stays)",
       [](CommandLine& l, auto&) { l.FullScreen = 0; }},
      {"--fullscreen", "", "play full screen this time (the saved setting stays)",
       [](CommandLine& l, auto&) { l.FullScreen = 1; }},
      {"--scale", "N",
       "show the window N times its size this time, 1 to 8, or \"fit\" for the largest that "
       "fits the desktop (the saved setting stays)",
       [](CommandLine& l, const std::string& v) { RequireWindowScale(l, v); }},
      {"--data", "DIR", "read the game data from DIR",
       [](CommandLine& l, const std::string& v) { l.DataFolder = PathFromUtf8(v); }},
      {"--save", "DIR", "keep settings and high scores in DIR",
       [](CommandLine& l, const std::string& v) { l.SaveFolder = PathFromUtf8(v); }},
      {"--server", "URL", "the score server's base address",
       [](CommandLine& l, const std::string& v) {
         RequireWebAddress(l, "--server", v, l.ServerAddress);
       }},
      {"--web-site", "URL", "the address the menu's web site button opens",
       [](CommandLine& l, const std::string& v) {
         RequireWebAddress(l, "--web-site", v, l.WebSite);
       }},
      {"--replay", "FILE",
       "watch a recorded game (.rvr): Escape leaves, P pauses, F runs it four times as fast",
       [](CommandLine& l, const std::string& v) { l.ReplayFile = PathFromUtf8(v); }},
  };
  return kOptions;
}

const OptionSpec* FindOption(std::string_view name) {
  for (const OptionSpec& option : Options()) {
    if (option.Name == name) return &option;
  }
  return nullptr;
}

CommandLine UsageError(std::string message) {
  CommandLine line;
  line.Action = CommandLineAction::UsageError;
  line.Error = std::move(message);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    std::optional<std::string> inlineValue;
    if (const auto equals = argument.find('='); equals != std::string_view::npos) {
      inlineValue = std::string(argument.substr(equals + 1));
      argument = argument.substr(0, equals);
    }
    const OptionSpec* option = FindOption(argument);
    if (option == nullptr) return UsageError("unknown option " + std::string(arguments[i]));
    std::string value;
    if (option->ValueName.empty()) {
      if (inlineValue) return UsageError(std::string(argument) + " takes no value");
    } else if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return UsageError(std::string(argument) + " needs " + std::string(option->ValueName));
    }
    if (!option->ValueName.empty() && value.empty()) {
      return UsageError(std::string(argument) + " needs a non-empty " +
                        std::string(option->ValueName));
    }
    option->Apply(line, value);
    if (line.Action == CommandLineAction::UsageError) return line;
  }
  return line;
}

std::string UsageText(const std::string& programName) {
  std::string text = "Usage: " + programName + " [OPTION]...\nA top-down arcade racer.\n\n";
  for (const OptionSpec& option : Options()) {
    std::string left = "  " + std::string(option.Name);
    if (!option.ValueName.empty()) left.append(" ").append(option.ValueName);
    if (left.size() < 20) left.resize(20, ' ');
    text += left + std::string(option.Help) + "\n";
  }
  text +=
      "\nSettings and high scores are kept in $XDG_DATA_HOME/rivoltra (~/.local/share/rivoltra);\n"
      "online.conf there may set \"server = URL\" and \"website = URL\". The last game is kept\n"
      "there as last.rvr, and the table's games in replays/.\n";
  return text;
}

std::string VersionText() {
  return std::string("Rivoltra ") + RIVOLTRA_VERSION +
         "\nCopyright (c) 2026 the Rivoltra developers\n"
         "Free software under the MIT licence: you may use, copy, change and share it.\n";
}

}  // namespace rivoltra
