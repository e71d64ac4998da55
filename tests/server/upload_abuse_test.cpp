// Uploads and downloads tried as an attacker would, on the listener and the verifier: other
// transfer codings, uploads judged by their head, upload places per address, shared download
// buffers, the verifier's memory limit and its stop; and the JSON access log line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "access_log.h"
#include "replay_downloads.h"
#include "server/test_support.h"
#include "verifier_runner.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

// The listener with a service behind it that answers 200 to everything it is asked, so what
// the listener itself refuses shows.
class Listener {
 public:
  explicit Listener(HttpFrontEnd::Limits limits)
      : frontEnd_(
            [](const ServerRequest& request, const ServiceTime&) {
              ServerResponse answer;
              answer.Body = "seen " + request.Method + " " + std::to_string(request.Body.size());
              return answer;
            },
            limits) {
    port_ = frontEnd_.Bind("127.0.0.1", 0);
    frontEnd_.AdmitUploadsWith([this](const ServerRequest& head, const ServiceTime&) {
      ++admissions_;
      std::optional<ServerResponse> refusal;
      if (head.Target.find("token=bad") != std::string::npos) {
        refusal.emplace();
        refusal->Status = 404;
        refusal->Body = "ERROR|token unknown or expired\n";
      }
      return refusal;
    });
    thread_ = std::thread([this] { frontEnd_.Run(); });
  }
  ~Listener() {
    frontEnd_.Stop();
    thread_.join();
  }
  int Port() const { return port_; }
  int Admissions() const { return admissions_; }

 private:
  HttpFrontEnd frontEnd_;
  int port_ = 0;
  std::atomic<int> admissions_{0};
  std::thread thread_;
};

std::string StatusOf(const std::optional<std::string>& reply) {
  return reply ? reply->substr(0, 12) : "no reply";
}

TEST(UploadAbuse, AnyTransferCodingButAFinalChunkedIsRefusedAndEndsTheConnection) {
  Listener listener(HttpFrontEnd::Limits{});
  const std::string inner = "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";
  for (const char* coding : {"gzip", "identity", "chunked, gzip", "gzip, chunked", "chunked2"}) {
    auto reply =
        testing::RawExchange(listener.Port(),
                             std::string("POST /x HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: ") +
                                 coding + "\r\n\r\n" + inner,
                             1500ms);
    ASSERT_TRUE(reply) << coding;
    EXPECT_EQ(reply->substr(0, 12), "HTTP/1.1 400") << coding;
    EXPECT_NE(reply->find("Connection: close"), std::string::npos) << coding;
    EXPECT_EQ(reply->find("seen"), std::string::npos) << "the body ran as a request: " << coding;
  }
  auto chunked =
      testing::RawExchange(listener.Port(),
                           "POST /x HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "3\r\nabc\r\n0\r\n\r\n");
  EXPECT_NE(chunked.value_or("").find("seen POST 3"), std::string::npos);
}

TEST(UploadAbuse, AnUploadIsJudgedByItsHeadBeforeItsBodyIsRead) {
  Listener listener(HttpFrontEnd::Limits{});
  // The head alone, announcing a body that never comes: the refusal does not wait for it.
  auto started = std::chrono::steady_clock::now();
  auto refused = testing::RawExchange(
      listener.Port(),
      "POST /cgi/replay.pl?token=bad HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\n",
      3000ms);
  EXPECT_EQ(StatusOf(refused), "HTTP/1.1 404");
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1000ms);
  auto chunkedUpload = testing::RawExchange(
      listener.Port(),
      "POST /cgi/replay.pl?token=good HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n");
  EXPECT_EQ(StatusOf(chunkedUpload), "HTTP/1.1 411") << "the byte budget needs the length";
  std::string body(5000, 'r');
  auto taken = testing::RawExchange(listener.Port(),
                                    "POST /cgi/replay.pl?token=good HTTP/1.1\r\nHost: x\r\n"
                                    "Content-Length: 5000\r\nConnection: close\r\n\r\n" +
                                        body);
  EXPECT_NE(taken.value_or("").find("seen POST 5000"), std::string::npos);
  EXPECT_EQ(listener.Admissions(), 2);
}

TEST(UploadAbuse, OneAddressHoldsNoMoreThanItsShareOfTheUploadPlaces) {
  HttpFrontEnd::Limits limits;
  limits.MaxUploadsAtOnce = 4;
  limits.MaxUploadsPerClient = 2;
  Listener listener(limits);
  const std::string head =
      "POST /cgi/replay.pl?token=good HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\nx";
  // Two uploads held open from 127.0.0.1, dripping; a third from the same address is refused.
  std::vector<std::thread> holders;
  for (int i = 0; i < 2; ++i) {
    holders.emplace_back([&] { testing::RawExchange(listener.Port(), head, 1500ms); });
  }
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(StatusOf(testing::RawExchange(listener.Port(), head, 1000ms)), "HTTP/1.1 503");
  for (auto& holder : holders) holder.join();
  // Once they are gone, the address may upload again.
  auto after = testing::RawExchange(listener.Port(),
                                    "POST /cgi/replay.pl?token=good HTTP/1.1\r\nHost: x\r\n"
                                    "Content-Length: 1\r\nConnection: close\r\n\r\nx");
  EXPECT_EQ(StatusOf(after), "HTTP/1.1 200");
}

TEST(ReplayDownloads, RepliesShareOneBufferAndTheirPlacesAreBounded) {
  ReplayDownloads downloads(2);
  int loads = 0;
  auto load = [&]() -> std::optional<std::string> {
    ++loads;
    return std::string(1 << 20, 'r');
  };
  auto first = downloads.Shared(7, load);
  auto second = downloads.Shared(7, load);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(loads, 1);
  first.reset();
  second.reset();
  downloads.Shared(7, load);
  EXPECT_EQ(loads, 2) << "read again once no reply holds it";
  EXPECT_FALSE(downloads.Shared(8, [] { return std::optional<std::string>(); }));

  auto a = downloads.TakePlace();
  auto b = downloads.TakePlace();
  EXPECT_TRUE(a && b);
  EXPECT_FALSE(downloads.TakePlace());
  a.reset();
  EXPECT_TRUE(downloads.TakePlace());
}

// A verifier script in a folder of its own.
std::string WriteScript(const std::filesystem::path& folder, const std::string& body) {
  std::filesystem::create_directories(folder);
  auto path = folder / "verify.sh";
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  ::chmod(path.c_str(), 0755);
  return path.string();
}

TEST(VerifierLimits, AVerifierOverItsMemoryLimitFailsInsteadOfTakingTheServersMemory) {
  auto folder = testing::FreshTempPath("memory-verifier");
  // Asks for 300 MiB before it prints its verdict.
  std::string script = WriteScript(folder,
                                   "exec python3 -c \"x = bytearray(300 << 20); "
                                   "print('{\\\"valid\\\": true, \\\"score\\\": 1}')\"");
  ProcessVerifier::Limits limits;
  limits.Program = script;
  limits.MemoryBytes = std::size_t{128} << 20;
  EXPECT_EQ(ProcessVerifier(limits).Verify("replay").Kind, VerdictKind::Failed);
  limits.MemoryBytes = std::size_t{1} << 30;
  EXPECT_EQ(ProcessVerifier(limits).Verify("replay").Kind, VerdictKind::Reproduced);
  std::filesystem::remove_all(folder);
}

TEST(VerifierLimits, StopAllEndsRunningVerificationsAtOnce) {
  auto folder = testing::FreshTempPath("stopped-verifier");
  std::string script = WriteScript(folder, "sleep 5 & sleep 5\necho '{\"valid\": true}'");
  ProcessVerifier::Limits limits;
  limits.Program = script;
  limits.WallTime = 10s;
  ProcessVerifier verifier(limits);
  auto started = std::chrono::steady_clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(300ms);
    verifier.StopAll();
  });
  VerifierVerdict verdict = verifier.Verify("replay");
  stopper.join();
  EXPECT_EQ(verdict.Kind, VerdictKind::Failed);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
  EXPECT_EQ(verifier.Verify("replay").Kind, VerdictKind::Failed) << "stopped for good";
  std::filesystem::remove_all(folder);
}

TEST(AccessLog, AJsonLineHoldsTheRequestAndSurvivesHostileBytes) {
  HttpFrontEnd::Exchange exchange;
  std::string target = "/cgi/version.pl?x=\"\n\xff\x01";
  exchange.Client = "203.0.113.9";
  exchange.Method = "GET";
  exchange.Target = target;
  exchange.Status = 404;
  exchange.BodyBytes = 23;
  exchange.Duration = 1500us;
  std::string line =
      AccessLogJson(exchange, std::chrono::system_clock::time_point(1700000000123ms));
  EXPECT_EQ(line.find('\n'), std::string::npos) << "one line per request";
  auto parsed = nlohmann::json::parse(line);
  EXPECT_EQ(parsed["time"], "2023-11-14T22:13:20.123Z");
  EXPECT_EQ(parsed["address"], "203.0.113.9");
  EXPECT_EQ(parsed["method"], "GET");
  EXPECT_EQ(parsed["status"], 404);
  EXPECT_EQ(parsed["bytes"], 23);
  EXPECT_DOUBLE_EQ(parsed["duration_ms"].get<double>(), 1.5);
  EXPECT_EQ(parsed["path"].get<std::string>().substr(0, 18), "/cgi/version.pl?x=");
}

}  // namespace
}  // namespace rivoltra::scores
