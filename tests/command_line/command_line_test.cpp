#include "main/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/preferences.h"

namespace rivoltra {
namespace {

using Action = CommandLineAction;
using Arguments = std::vector<std::string>;

TEST(CommandLine, OptionsWithAndWithoutValues) {
  const CommandLine line = ParseCommandLine(
      {"--fullscreen", "--data", "/opt/data", "--save=/tmp/s", "--server", "https://s.example:9"});
  EXPECT_EQ(line.Action, Action::Run);
  EXPECT_EQ(line.FullScreen, 1);
  EXPECT_EQ(line.DataFolder, "/opt/data");
  EXPECT_EQ(line.SaveFolder, "/tmp/s");
  EXPECT_EQ(line.ServerAddress, "https://s.example:9");
  EXPECT_FALSE(line.WebSite);
  EXPECT_FALSE(line.ReplayFile);
  EXPECT_EQ(ParseCommandLine({"--replay", "games/best.rvr"}).ReplayFile, "games/best.rvr");

  // The last of two display switches wins; nothing given leaves the saved setting alone.
  EXPECT_EQ(ParseCommandLine({"--fullscreen", "--windowed"}).FullScreen, 0);
  EXPECT_EQ(ParseCommandLine({"--scale", "3"}).WindowScale, 3);
  EXPECT_EQ(ParseCommandLine({"--scale=fit"}).WindowScale, kWindowScaleFit);
  EXPECT_FALSE(ParseCommandLine({"--windowed"}).WindowScale.has_value());
  EXPECT_FALSE(ParseCommandLine({}).FullScreen);
}

TEST(CommandLine, HelpAndVersion) {
  EXPECT_EQ(ParseCommandLine({"--help"}).Action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--windowed", "--version"}).Action, Action::Version);
  const std::string usage = UsageText("rivoltra");
  for (const char* option :
       {"--help", "--version", "--windowed", "--fullscreen", "--data DIR", "--save DIR",
        "--server URL", "--web-site URL", "--replay FILE", "--scale N"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(VersionText().rfind("Rivoltra 1.", 0), 0u) << VersionText();
  EXPECT_NE(VersionText().find("MIT licence"), std::string::npos) << VersionText();
}

TEST(CommandLine, MistakesAreUsageErrorsNamingTheArgument) {
  const struct {
    rivoltra::Arguments Arguments;
    const char* Named;
  } cases[] = {
      {{"--bogus"}, "--bogus"},
      {{"-h"}, "-h"},
      {{"level1"}, "level1"},
      {{"--data"}, "--data needs DIR"},
      {{"--save="}, "--save needs a non-empty DIR"},
      {{"--windowed=yes"}, "--windowed takes no value"},
      {{"--replay"}, "--replay needs FILE"},
      {{"--server", "ftp://x"}, "--server"},
      {{"--web-site", "http://a b"}, "--web-site"},
      {{"--windowed", "--nope", "--help"}, "--nope"},
      {{"--scale", "0"}, "--scale"},
      {{"--scale", "9"}, "--scale"},
      {{"--scale=big"}, "--scale"},
  };
  for (const auto& c : cases) {
    const CommandLine line = ParseCommandLine(c.Arguments);
    EXPECT_EQ(line.Action, Action::UsageError) << c.Named;
    EXPECT_NE(line.Error.find(c.Named), std::string::npos) << line.Error;
  }
}

}  // namespace
}  // namespace rivoltra
