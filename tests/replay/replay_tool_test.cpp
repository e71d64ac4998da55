#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/replay_file.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

struct ToolResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

std::string Contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

class ReplayTool : public testing::Test {
 protected:
  void SetUp() override {
    tool_ = RIVOLTRA_REPLAY_TOOL;
    folder_ = fs::temp_directory_path() /
              ("rivoltra-replay-tool-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  ToolResult Run(const std::string& arguments) const {
    const fs::path out = folder_ / "out.txt";
    const fs::path err = folder_ / "err.txt";
    const std::string command = "'" + tool_.string() + "' " + arguments + " >'" + out.string() +
                                "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    return ToolResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(out), Contents(err)};
  }

  fs::path tool_;
  fs::path folder_;
};

TEST_F(ReplayTool, InfoPrintsTheHeaderAndTrailerAsOneJsonLine) {
  ReplayRecorder recorder;
  recorder.Begin(ReplayHeader{"1.0.3", 0x00ABCDEF01234567ull, 4000000000u, 2});
  for (int tick = 0; tick < 10; ++tick) recorder.AddTick(tick < 6 ? ReplayUp : ReplayLeft, 1);
  const std::string bytes = recorder.Finish(ReplayTrailer{-20, 4, 9, "O'NEIL \"Q\"", "IE"});
  const fs::path path = folder_ / "game.rvr";
  SaveReplayFile(path, bytes);

  const ToolResult result = Run("info '" + path.string() + "'");
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "{\"formatVersion\":1,\"gameVersion\":\"1.0.3\",\"dataFingerprint\":"
            "\"00abcdef01234567\",\"car\":2,\"randomState\":4000000000,\"ticket\":null,"
            "\"ticks\":10,\"runs\":2,"
            "\"bytes\":" +
                std::to_string(bytes.size()) +
                ",\"score\":-20,\"level\":4,\"ticksPlayed\":9,\"playerName\":"
                "\"O'NEIL \\\"Q\\\"\",\"country\":\"IE\"}\n");
  EXPECT_EQ(result.Err, "");
}

TEST_F(ReplayTool, InfoShowsTheRaceTicket) {
  RaceTicket ticket{TicketKind::Daily, 1796918443, 77, 20797, 0x0123456789ABCDEFull, {}};
  ticket.Signature.fill(0xAB);
  ReplayRecorder recorder;
  recorder.Begin(ReplayHeader{"1.0", 1, 77, 3, ticket});
  recorder.AddTick(ReplayUp, 1);
  const fs::path path = folder_ / "daily.rvr";
  SaveReplayFile(path, recorder.Finish(ReplayTrailer{}));

  const ToolResult result = Run("info '" + path.string() + "'");
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out.rfind("{\"formatVersion\":2,", 0), 0u) << result.Out;
  const std::string expected =
      "\"ticket\":{\"kind\":\"daily\",\"issuedAt\":1796918443,\"seed\":77,\"date\":"
      "\"2026-12-10\",\"id\":\"" +
      TicketId(ticket) + "\",\"text\":\"" + TicketText(ticket) + "\"}";
  EXPECT_NE(result.Out.find(expected), std::string::npos) << result.Out;
}

TEST_F(ReplayTool, UnreadableFilesAndUnknownCommandsExitWithTwo) {
  const fs::path damaged = folder_ / "damaged.rvr";
  std::ofstream(damaged, std::ios::binary) << std::string("RVR\x1A\x07\x00", 6) + "rest";
  const fs::path missing = folder_ / "missing.rvr";

  struct Case {
    std::string Arguments;
    std::string Message;
  };
  const Case cases[] = {
      {"info '" + damaged.string() + "'",
       "rivoltra-replay: " + damaged.string() + ": unsupported format version 7"},
      {"info '" + missing.string() + "'", "rivoltra-replay: " + missing.string() + ": cannot read"},
      {"info", "rivoltra-replay: info takes one FILE"},
      {"", "rivoltra-replay: no command"},
      {"verify '" + damaged.string() + "'",
       "rivoltra-replay: " + damaged.string() + ": unsupported format version 7"},
      {"verify", "rivoltra-replay: verify takes [--data DIR] FILE"},
      {"replay x", "rivoltra-replay: unknown command \"replay\""},
  };
  for (const Case& c : cases) {
    const ToolResult result = Run(c.Arguments);
    EXPECT_EQ(result.ExitCode, 2) << c.Arguments;
    EXPECT_EQ(result.Out, "") << c.Arguments;
    EXPECT_EQ(result.Err.rfind(c.Message, 0), 0u) << c.Arguments << ": " << result.Err;
  }
}

}  // namespace
}  // namespace rivoltra
