#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "persist/online.h"
#include "platform/curl/curl_http_transport.h"
#include "server/test_support.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;
using testing::RawExchange;
using testing::RunningServer;

OnlineConfig ConfigFor(const std::string& base) {
  OnlineConfig config = DefaultOnlineConfig();
  config.ServerBase = base;
  config.ConnectTimeout = 2000ms;
  config.RequestTimeout = 5000ms;
  return config;
}

std::int64_t UnixNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TEST(EndToEnd, GameSubmissionIsStoredAndShownOnTheTablePage) {
  RunningServer server;
  OnlineConfig config = ConfigFor(server.Base());
  std::vector<std::string> shown;
  auto show = [&](std::string_view text) { shown.emplace_back(text); };

  CurlHttpTransport transport(config.ConnectTimeout, config.RequestTimeout);
  std::int64_t before = UnixNow();
  EXPECT_EQ(SendScore(transport, config, show, "NONAME", 1234, "X").Outcome, SubmitOutcome::Sent);
  EXPECT_EQ(SendScore(transport, config, show, "ANNA  MARIA", 5600, "NEW ZEALAND").Outcome,
            SubmitOutcome::Sent);
  std::int64_t after = UnixNow();
  EXPECT_TRUE(shown.empty());

  std::vector<ScoreEntry> best = server.Store.Best(10);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].Name, "ANNA MARIA");
  EXPECT_EQ(best[0].Country, "NEW ZEALAND");
  EXPECT_EQ(best[0].Score, 5600);
  EXPECT_EQ(best[1].Name, "NONAME");
  EXPECT_EQ(best[1].Country, "X");
  EXPECT_EQ(best[1].Score, 1234);
  EXPECT_GE(best[1].SubmittedAt, before);
  EXPECT_LE(best[1].SubmittedAt, after);
  EXPECT_EQ(server.Tokens.Outstanding(), 0u);  // both tokens spent

  CurlHttpTransport browser(2000ms, 5000ms);
  auto page = browser.Get(OnlineTableAddress(config));
  ASSERT_TRUE(page.has_value());
  std::size_t anna = page->find(">ANNA MARIA<");
  std::size_t noname = page->find(">NONAME<");
  ASSERT_NE(anna, std::string::npos);
  ASSERT_NE(noname, std::string::npos);
  EXPECT_LT(anna, noname);
  auto home = browser.Get(server.Base() + "/");
  ASSERT_TRUE(home.has_value());
  EXPECT_NE(home->find("/cgi/version.pl?prg=Rivoltra&amp;show&amp;type=0"), std::string::npos);
}

TEST(EndToEnd, ReplayedReportIsRefused) {
  RunningServer server;
  OnlineConfig config = ConfigFor(server.Base());
  CurlHttpTransport transport(2000ms, 5000ms);
  auto version = transport.Get(VersionRequestAddress(config));
  ASSERT_TRUE(version.has_value());
  std::string report = ScoreReportAddress(
      config, EncodeGroups(EncodeBits(ScoreMessage("EVE", 700, ServerFieldOf(*version), ""))));
  EXPECT_TRUE(transport.Get(report).has_value());
  EXPECT_FALSE(transport.Get(report).has_value());  // 403: the token is spent
  EXPECT_EQ(server.Store.Count(), 1u);
}

TEST(EndToEnd, HostileRequestsGetClientErrorsAndServingGoesOn) {
  RunningServer server;
  static const char kControlBytes[] = "GET /\0\x01\xFF HTTP/1.1\r\nHost: x\r\n\r\n";
  const std::string hostile[] = {
      "GARBAGE\r\n\r\n",
      std::string(kControlBytes, sizeof kControlBytes - 1),
      "GET /cgi/version.pl?" + std::string(9000, 'A') + " HTTP/1.1\r\nHost: x\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(20000, 'B') + "\r\n\r\n",
      "GET /cgi/version.pl?hs&prg=Rivoltra&inf=%%%% HTTP/1.1\r\nHost: x\r\n\r\n",
      "DELETE / HTTP/1.1\r\nHost: x\r\n\r\n",
      "GET / HTTP/9.9\r\nHost: x\r\n\r\n",
      "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 100000000\r\n\r\nabc",
  };
  for (const auto& bytes : hostile) {
    auto reply = RawExchange(server.Port, bytes);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->substr(0, 10), "HTTP/1.1 4") << bytes.substr(0, 40);
  }
  auto version = RawExchange(server.Port,
                             "GET /cgi/version.pl?version&prg=Rivoltra HTTP/1.1\r\nHost: x\r\n"
                             "Connection: close\r\n\r\n");
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->substr(0, 15), "HTTP/1.1 200 OK");
  EXPECT_NE(version->find("\r\n\r\nOK|"), std::string::npos);
}

TEST(ServerProgram, ServesTheGameAndStopsCleanlyOnTerminate) {
  auto folder = testing::FreshTempPath("program");
  std::filesystem::create_directories(folder);
  std::string database = (folder / "scores.db").string();
  testing::Child child = testing::Spawn(
      {RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:0", "--db", database, "--quiet"});
  ASSERT_GT(child.Pid, 0);
  std::string line = testing::ReadLine(child.Output, 5000ms);
  std::size_t portAt = line.find("127.0.0.1:");
  ASSERT_NE(portAt, std::string::npos) << line;
  int port = std::stoi(line.substr(portAt + 10));
  std::string base = "http://127.0.0.1:" + std::to_string(port);

  int shown = 0;
  const OnlineConfig config = ConfigFor(base);
  CurlHttpTransport transport(config.ConnectTimeout, config.RequestTimeout);
  EXPECT_EQ(SendScore(
                transport, config, [&](std::string_view) { ++shown; }, "ZED", 3000, "SPAIN")
                .Outcome,
            SubmitOutcome::Sent);
  EXPECT_EQ(shown, 0);

  auto stopAsked = std::chrono::steady_clock::now();
  ::kill(child.Pid, SIGTERM);
  auto status = testing::WaitForExit(child.Pid, 10000ms);
  auto stopTook = std::chrono::steady_clock::now() - stopAsked;
  ::close(child.Output);
  ASSERT_TRUE(status.has_value()) << "did not stop";
  EXPECT_TRUE(WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 0);
  EXPECT_LT(stopTook, 8s);

  ScoreStore reopened(database);
  ASSERT_EQ(reopened.Count(), 1u);
  EXPECT_EQ(reopened.Best(1)[0].Name, "ZED");
  EXPECT_EQ(reopened.Best(1)[0].Country, "SPAIN");
  std::filesystem::remove_all(folder);
}

TEST(ServerProgram, RefusesBadArgumentsAndUnusableDatabase) {
  const std::vector<std::vector<std::string>> refused = {
      {RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1"},
      {RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:99999"},
      {RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:80a"},
      {RIVOLTRA_SCORES_BINARY, "--db"},
      {RIVOLTRA_SCORES_BINARY, "--verbose"},
  };
  for (const auto& arguments : refused) {
    testing::Child child = testing::Spawn(arguments);
    ASSERT_GT(child.Pid, 0);
    auto status = testing::WaitForExit(child.Pid, 5000ms);
    ::close(child.Output);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(WEXITSTATUS(*status), 2) << arguments.back();
  }
  testing::Child child = testing::Spawn({RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:0", "--db",
                                         "/nonexistent-folder/x/scores.db"});
  auto status = testing::WaitForExit(child.Pid, 5000ms);
  ::close(child.Output);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(WEXITSTATUS(*status), 1);
}

}  // namespace
}  // namespace rivoltra::scores
