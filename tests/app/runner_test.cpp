#include <gtest/gtest.h>

#include <sstream>

#include "runner/script_runner.h"

namespace rivoltra {
namespace {

struct RunResult {
  int Status;
  std::string Out;
  std::string Errors;
};

RunResult RunLines(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, errors;
  const int status = RunScript(in, out, errors);
  return {status, out.str(), errors.str()};
}

TEST(ScriptRunner, BadLinesStopTheRunWithTheLineNumberAndStatusTwo) {
  const struct {
    const char* Script;
    const char* Message;
  } cases[] = {
      {"tick\nfly away\n", "line 2: unknown command 'fly'"},
      {"# comment\n\ntick x\n", "line 3: 'x' is not a whole number"},
      {"down Hyper\n", "line 1: unknown key 'Hyper'"},
      {"lag 0\n", "line 1: '0' is out of range 1..1000"},
      {"focus maybe\n", "line 1: focus takes on or off"},
      {"mouse 1\n", "line 1: wrong number of arguments"},
      {"type \\q\n", "line 1: unknown escape '\\q'"},
  };
  for (const auto& c : cases) {
    const RunResult result = RunLines(c.Script);
    EXPECT_EQ(result.Status, 2) << c.Script;
    EXPECT_NE(result.Errors.find(c.Message), std::string::npos) << result.Errors;
  }
}

TEST(ScriptRunner, CommandsAfterQuitAreNotRun) {
  const RunResult result = RunLines("quit\nfly away\n");
  EXPECT_EQ(result.Status, 0);
  EXPECT_TRUE(result.Errors.empty()) << result.Errors;
}

TEST(ScriptRunner, TicksAdvanceTheFakeClockByLagIntervals) {
  std::ostringstream out;
  ScriptRunner runner(out);
  runner.Start();
  std::uint32_t ticks = 0;
  runner.Game().Timer.OnTimer = [&](std::int32_t lag) { ticks += static_cast<std::uint32_t>(lag); };
  runner.Execute("lag 3");
  runner.Execute("tick 4");
  EXPECT_EQ(runner.Platform().Milliseconds(), 4u * 3u * 30u);
  EXPECT_EQ(ticks, 12u);
  runner.Execute("focus off");
  runner.Execute("tick 5");
  EXPECT_EQ(ticks, 12u) << "no ticks while the window has no focus";
  runner.Execute("focus on");
  runner.Execute("lag 1");
  runner.Execute("tick");
  EXPECT_EQ(ticks, 13u);
}

TEST(ScriptRunner, AltEnterSwitchesTheDisplayAndTheTimerKeepsRunning) {
  std::ostringstream out;
  ScriptRunner runner(out);
  runner.Start();
  runner.Execute("down Alt");
  runner.Execute("down Enter");
  EXPECT_EQ(runner.Game().Settings.FullScreen, 1);
  EXPECT_TRUE(runner.Platform().IsFullScreen());
  EXPECT_TRUE(runner.Game().Timer.Enabled());
  runner.Execute("up Enter");
  runner.Execute("down Enter");
  EXPECT_EQ(runner.Game().Settings.FullScreen, 0);
  EXPECT_FALSE(runner.Platform().IsFullScreen());
  EXPECT_TRUE(runner.Game().Timer.Enabled());
}

TEST(ScriptRunner, CtrlKeepsTheFireFlagWhateverTheScreen) {
  std::ostringstream out;
  ScriptRunner runner(out);
  runner.Start();
  runner.Execute("down Ctrl");
  EXPECT_TRUE(runner.Game().FireKeyHeld);
  runner.Execute("up Ctrl");
  EXPECT_FALSE(runner.Game().FireKeyHeld);
}

TEST(ScriptRunner, StatePrintsOneJsonObjectPerCall) {
  const RunResult result = RunLines("seed 42\nstate\nstate\n");
  ASSERT_EQ(result.Status, 0) << result.Errors;
  std::istringstream lines(result.Out);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_EQ(line.front(), '{');
    EXPECT_EQ(line.back(), '}');
    EXPECT_NE(line.find("\"RandomState\":42"), std::string::npos) << line;
  }
  EXPECT_EQ(count, 2);
}

}  // namespace
}  // namespace rivoltra
