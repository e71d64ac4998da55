#include "persist/online.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/score_code.h"
#include "online/loopback_listener.h"
#include "platform/curl/curl_http_transport.h"
#include "platform/null/fake_http.h"

namespace rivoltra {
namespace {

using namespace std::chrono_literals;
using testing::HttpReply;
using testing::LoopbackListener;

OnlineConfig TestConfig(std::string base) {
  OnlineConfig config;
  config.ServerBase = std::move(base);
  config.WebSite = "http://127.0.0.1:1/";
  config.ConnectTimeout = 1000ms;
  config.RequestTimeout = 1000ms;
  return config;
}

// Answers the version request with a scripted reply and records every address asked for.
class FakeTransport final : public HttpTransport {
 public:
  explicit FakeTransport(std::optional<std::string> versionReply)
      : versionReply_(std::move(versionReply)) {}
  std::optional<std::string> Get(const std::string& address) override {
    Addresses.push_back(address);
    return Addresses.size() == 1 ? versionReply_ : std::optional<std::string>("OK");
  }
  std::vector<std::string> Addresses;

 private:
  std::optional<std::string> versionReply_;
};

// The report field that carried the server's token, read back from the requested address.
std::optional<std::string> SentServerField(const std::string& reportAddress) {
  std::string prefix = "/cgi/version.pl?hs&prg=Rivoltra&inf=";
  std::size_t at = reportAddress.find(prefix);
  if (at == std::string::npos) return std::nullopt;
  auto message = DecodeScoreCode(reportAddress.substr(at + prefix.size()));
  if (!message) return std::nullopt;
  auto report = ParseScoreMessage(*message);
  if (!report) return std::nullopt;
  return report->ServerField;
}

TEST(SendScore, VersionReplyDecidesBetweenMessageAndReport) {
  const struct {
    std::optional<std::string> Reply;
    bool Sends;
    const char* ServerField;
  } cases[] = {
      {std::nullopt, false, ""},
      {"", false, ""},
      {"O", false, ""},
      {"ERROR", false, ""},
      {"ok|1|2|3|T|", false, ""},
      {"OK", true, ""},
      {"OKAY", true, ""},
      {"OK|1|2|3|TOKEN", true, ""},  // four "|": field 5 stays empty
      {"OK|1|2|3|TOKEN|", true, "TOKEN"},
      {"OK|1|2|3|TOKEN|6|7", true, "TOKEN"},
      {"OK||||X|", true, "X"},
  };
  for (const auto& c : cases) {
    FakeTransport transport(c.Reply);
    std::vector<std::string> shown;
    SubmitOutcome outcome =
        SendScore(
            transport, TestConfig("http://127.0.0.1:9"),
            [&](std::string_view text) { shown.emplace_back(text); }, "NONAME", 1234, "X")
            .Outcome;
    std::string label = c.Reply ? "reply '" + *c.Reply + "'" : "failed request";
    EXPECT_EQ(transport.Addresses.front(), "http://127.0.0.1:9/cgi/version.pl?version&prg=Rivoltra")
        << label;
    if (c.Sends) {
      EXPECT_EQ(outcome, SubmitOutcome::Sent) << label;
      EXPECT_TRUE(shown.empty()) << label;
      ASSERT_EQ(transport.Addresses.size(), 2u) << label;
      EXPECT_EQ(SentServerField(transport.Addresses[1]), c.ServerField) << label;
    } else {
      EXPECT_EQ(outcome, SubmitOutcome::CannotConnect) << label;
      EXPECT_EQ(shown, std::vector<std::string>{"Can't connect to server!"}) << label;
      EXPECT_EQ(transport.Addresses.size(), 1u) << label;
    }
  }
}

TEST(SendScore, ReportCarriesNameScoreAndCountry) {
  FakeTransport transport(std::string("OK|1|1.0|600|TK|"));
  SendScore(transport, TestConfig("http://127.0.0.1:9"), nullptr, "ANNA", 2600, "NEW ZEALAND");
  ASSERT_EQ(transport.Addresses.size(), 2u);
  std::string prefix = "http://127.0.0.1:9/cgi/version.pl?hs&prg=Rivoltra&inf=";
  ASSERT_EQ(transport.Addresses[1].substr(0, prefix.size()), prefix);
  EXPECT_EQ(transport.Addresses[1].substr(prefix.size()),
            EncodeGroups(EncodeBits(ScoreMessage("ANNA", 2600, "TK", "NEW ZEALAND"))));
}

TEST(SendScore, ThrowingTransportCountsAsFailedRequest) {
  struct Throwing final : HttpTransport {
    std::optional<std::string> Get(const std::string&) override {
      throw std::runtime_error("socket gone");
    }
  } transport;
  int shown = 0;
  EXPECT_EQ(SendScore(
                transport, TestConfig("http://127.0.0.1:9"), [&](std::string_view) { ++shown; },
                "A", 1, "")
                .Outcome,
            SubmitOutcome::CannotConnect);
  EXPECT_EQ(shown, 1);
}

TEST(SendScore, SendScoreNamesTheTokenItsReportCarried) {
  FakeTransport sent(std::string("OK|1|1.0|600|TK|"));
  SubmitResult result = SendScore(sent, TestConfig("http://127.0.0.1:9"), nullptr, "A", 1, "");
  EXPECT_EQ(result.Outcome, SubmitOutcome::Sent);
  EXPECT_EQ(result.Token, "TK");
  EXPECT_EQ(SentServerField(sent.Addresses.at(1)), "TK");

  FakeTransport refused(std::string("ERROR"));
  result = SendScore(refused, TestConfig("http://127.0.0.1:9"), nullptr, "A", 1, "");
  EXPECT_EQ(result.Outcome, SubmitOutcome::CannotConnect);
  EXPECT_EQ(result.Token, "");
}

TEST(SubmitScore, AServerRefusingTheNameHasItsReasonShown) {
  // The version reply, then the report's.
  struct Replies final : HttpTransport {
    std::vector<std::string> Replies;
    std::optional<std::string> Get(const std::string&) override {
      std::string reply = Replies.front();
      if (Replies.size() > 1) Replies.erase(Replies.begin());
      return reply;
    }
  };
  struct Case {
    std::string Report;
    SubmitOutcome Outcome;
    std::vector<std::string> Shown;
  } cases[] = {
      {"OK|stored|", SubmitOutcome::Sent, {}},
      {"ERROR|too many reports\n", SubmitOutcome::Sent, {}},
      {"REFUSED|name|Pick another name.|", SubmitOutcome::NameRefused, {"Pick another name."}},
      {"REFUSED|name||", SubmitOutcome::NameRefused, {std::string(kNameRefusedMessage)}},
      {"REFUSED|name|Bad\x01\xff name", SubmitOutcome::NameRefused, {"Bad name"}},
      {"REFUSED|name|" + std::string(500, 'x'),
       SubmitOutcome::NameRefused,
       {std::string(200, 'x')}},
  };
  for (const Case& c : cases) {
    Replies transport;
    transport.Replies = {"OK|1|1.0|600|TK|", c.Report};
    std::vector<std::string> shown;
    SubmitResult result = SendScore(
        transport, TestConfig("http://127.0.0.1:9"),
        [&](std::string_view text) { shown.emplace_back(text); }, "A", 1, "");
    EXPECT_EQ(result.Outcome, c.Outcome) << c.Report;
    EXPECT_EQ(shown, c.Shown) << c.Report;
    EXPECT_EQ(result.Token.empty(), c.Outcome != SubmitOutcome::Sent) << c.Report;
  }
}

TEST(UploadReplay, PostsTheBytesUnderTheTokenAndReadsTheVerdict) {
  struct Posting final : HttpTransport {
    std::optional<std::string> Get(const std::string&) override { return std::nullopt; }
    std::optional<std::string> Post(const std::string& address, const std::string& body,
                                    const std::string& contentType) override {
      Posts.push_back({address, body, contentType});
      if (Throws) throw std::runtime_error("socket gone");
      return Reply;
    }
    std::optional<std::string> Reply;
    bool Throws = false;
    std::vector<std::vector<std::string>> Posts;
  };
  const std::string replay("RVR\x1A\0\x01\xFF", 7);
  const OnlineConfig config = TestConfig("http://scores.test:8642/");
  const struct {
    std::optional<std::string> Reply;
    bool Throws;
    std::string Token;
    std::string Bytes;
    UploadOutcome Outcome;
  } cases[] = {
      {"OK|verified|", false, "TK", replay, UploadOutcome::Verified},
      {"OK|verified|\n", false, "TK", replay, UploadOutcome::Verified},
      {std::nullopt, false, "TK", replay, UploadOutcome::NotVerified},
      {"OK|stored|", false, "TK", replay, UploadOutcome::NotVerified},
      {"", false, "TK", replay, UploadOutcome::NotVerified},
      {"OK|verified|", true, "TK", replay, UploadOutcome::NotVerified},
      {"OK|verified|", false, "", replay, UploadOutcome::NotSent},
      {"OK|verified|", false, "TK", "", UploadOutcome::NotSent},
      {"OK|verified|", false, "TK", std::string((1 << 20) + 1, 'R'), UploadOutcome::NotSent},
  };
  for (const auto& c : cases) {
    Posting transport;
    transport.Reply = c.Reply;
    transport.Throws = c.Throws;
    EXPECT_EQ(UploadReplay(transport, config, c.Token, c.Bytes), c.Outcome)
        << c.Reply.value_or("no reply") << " " << c.Token << " " << c.Bytes.size();
    if (c.Outcome == UploadOutcome::NotSent) {
      EXPECT_TRUE(transport.Posts.empty());
      continue;
    }
    ASSERT_EQ(transport.Posts.size(), 1u);
    EXPECT_EQ(transport.Posts[0][0], "http://scores.test:8642/cgi/replay.pl?token=TK");
    EXPECT_EQ(transport.Posts[0][1], c.Bytes);
    EXPECT_EQ(transport.Posts[0][2], "application/octet-stream");
  }
  EXPECT_EQ(ReplayUploadAddress(config, "A+B/C D"),
            "http://scores.test:8642/cgi/replay.pl?token=A%2BB%2FC%20D");
}

TEST(FakeHttp, AnswersPostsFromTheirOwnTableAndRecordsTheirBodies) {
  FakeHttp http;
  http.SetReply("http://s/a", std::string("get reply"));
  http.SetPostReply("http://s/a", std::string("OK|verified|"));
  auto transport = http.Open(HttpLimits{});
  const std::string body("R\0V", 3);
  EXPECT_EQ(transport->Post("http://s/a", body, "application/octet-stream"), "OK|verified|");
  EXPECT_EQ(transport->Post("http://s/b", "x", "text/plain"), std::nullopt);
  EXPECT_EQ(transport->Get("http://s/a"), "get reply");

  std::vector<FakeHttp::Posted> posts = http.TakePosts();
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[0].Address, "http://s/a");
  EXPECT_EQ(posts[0].Body, body);
  EXPECT_EQ(posts[0].ContentType, "application/octet-stream");
  EXPECT_EQ(posts[1].Address, "http://s/b");
  EXPECT_EQ(http.TakeRequests(), std::vector<std::string>{"http://s/a"});
  EXPECT_TRUE(http.TakePosts().empty());
}

TEST(OnlineAddresses, JoinServerBaseWithFixedPaths) {
  for (std::string base : {"http://scores.test:8642", "http://scores.test:8642/"}) {
    OnlineConfig config = TestConfig(base);
    EXPECT_EQ(VersionRequestAddress(config),
              "http://scores.test:8642/cgi/version.pl?version&prg=Rivoltra");
    EXPECT_EQ(ScoreReportAddress(config, "FTSN"),
              "http://scores.test:8642/cgi/version.pl?hs&prg=Rivoltra&inf=FTSN");
    EXPECT_EQ(OnlineTableAddress(config),
              "http://scores.test:8642/cgi/version.pl?prg=Rivoltra&show&type=0");
  }
  EXPECT_EQ(WebSiteAddress(TestConfig("x")), "http://127.0.0.1:1/");
  OnlineConfig defaults = DefaultOnlineConfig();
  EXPECT_EQ(defaults.ConnectTimeout, 5000ms);
  EXPECT_EQ(defaults.RequestTimeout, 15000ms);
  EXPECT_EQ(defaults.ServerBase.substr(0, 7), "http://");
  EXPECT_FALSE(defaults.WebSite.empty());
}

TEST(CurlTransport, SendsTheExpectedHeadersAndKeepsCookies) {
  LoopbackListener server(
      {HttpReply(200, "OK|1|2|3|T|", "Set-Cookie: visit=1; Path=/\r\n"), HttpReply(200, "stored")});
  CurlHttpTransport transport(1000ms, 2000ms);
  EXPECT_EQ(transport.Get(server.Base() + "/cgi/version.pl?version&prg=Rivoltra"), "OK|1|2|3|T|");
  EXPECT_EQ(transport.Get(server.Base() + "/second"), "stored");

  std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")),
            "GET /cgi/version.pl?version&prg=Rivoltra HTTP/1.1");
  for (const char* header : {"\r\nAccept: text/html, */*\r\n",
                             "\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n",
                             "\r\nContent-Type: text/html\r\n"}) {
    EXPECT_NE(requests[0].find(header), std::string::npos) << header;
  }
  EXPECT_EQ(requests[0].find("Cookie:"), std::string::npos);
  EXPECT_NE(requests[1].find("\r\nCookie: visit=1\r\n"), std::string::npos);
}

TEST(CurlTransport, PostsTheBodyWithItsTypeAndGetsStayAsTheyWere) {
  LoopbackListener server({HttpReply(200, "OK|verified|"), HttpReply(200, "page")});
  CurlHttpTransport transport(1000ms, 2000ms);
  const std::string body("RVR\x1A\0\x01", 6);
  EXPECT_EQ(
      transport.Post(server.Base() + "/cgi/replay.pl?token=TK", body, "application/octet-stream"),
      "OK|verified|");
  EXPECT_EQ(transport.Get(server.Base() + "/after"), "page");

  std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")),
            "POST /cgi/replay.pl?token=TK HTTP/1.1");
  EXPECT_NE(requests[0].find("\r\nContent-Type: application/octet-stream\r\n"), std::string::npos);
  EXPECT_NE(requests[0].find("\r\nContent-Length: 6\r\n"), std::string::npos);
  EXPECT_EQ(requests[0].find("Expect:"), std::string::npos);
  EXPECT_EQ(requests[0].substr(requests[0].find("\r\n\r\n") + 4), body);
  // The handle is reused: the next GET carries no body and the usual headers.
  EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")), "GET /after HTTP/1.1");
  EXPECT_NE(requests[1].find("\r\nContent-Type: text/html\r\n"), std::string::npos);
  EXPECT_EQ(requests[1].find("Content-Length"), std::string::npos);
}

TEST(CurlTransport, FailsOnErrorStatusOversizedBodyAndClosedPort) {
  std::string huge(CurlHttpTransport::kMaxReplyBytes + 1, 'K');
  LoopbackListener server({HttpReply(500, "OK|1|2|3|T|"), HttpReply(302, "OK"),
                           HttpReply(200, "OK" + huge), "garbage\r\n\r\n"});
  CurlHttpTransport transport(1000ms, 2000ms);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(transport.Get(server.Base() + "/"), std::nullopt) << "reply " << i;
  }

  int closedPort = 0;
  {
    LoopbackListener closed({});
    closedPort = closed.Port();
  }
  EXPECT_EQ(transport.Get("http://127.0.0.1:" + std::to_string(closedPort) + "/"), std::nullopt);
  EXPECT_EQ(transport.Get("file:///etc/hostname"), std::nullopt);
}

TEST(CurlTransport, SilentServerEndsInMessageWithinTheBound) {
  LoopbackListener silent({std::nullopt});
  OnlineConfig config = TestConfig(silent.Base());
  std::vector<std::string> shown;
  auto start = std::chrono::steady_clock::now();
  CurlHttpTransport transport(config.ConnectTimeout, config.RequestTimeout);
  SubmitOutcome outcome =
      SendScore(
          transport, config, [&](std::string_view text) { shown.emplace_back(text); }, "NONAME",
          500, "")
          .Outcome;
  auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(outcome, SubmitOutcome::CannotConnect);
  EXPECT_EQ(shown, std::vector<std::string>{"Can't connect to server!"});
  EXPECT_GE(elapsed, 900ms);
  EXPECT_LT(elapsed, 3s);
  EXPECT_EQ(silent.Requests().size(), 1u);
}

}  // namespace
}  // namespace rivoltra
