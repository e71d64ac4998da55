// The HTTP front end alone, around a handler that echoes what it was given, with small limits
// so every one of them can be crossed quickly.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "http_front_end.h"
#include "server/test_support.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

ServerResponse Echo(const ServerRequest& request, const ServiceTime&) {
  ServerResponse response;
  response.Body =
      request.Method + "|" + request.Target + "|" + request.ClientAddress + "|" + request.Body;
  return response;
}

HttpFrontEnd::Limits SmallLimits() {
  HttpFrontEnd::Limits limits;
  limits.ReadTimeoutSeconds = 1;
  limits.WriteTimeoutSeconds = 1;
  limits.MaxBodyBytes = 64;
  limits.WorkerThreads = 2;
  limits.MaxHeaderBytes = 1024;
  limits.MaxHeaderCount = 8;
  limits.MaxConnections = 16;
  limits.MaxConnectionsPerClient = 3;
  return limits;
}

class EchoServer {
 public:
  explicit EchoServer(HttpFrontEnd::Limits limits = SmallLimits(), std::string proxy = {})
      : FrontEnd(Echo, limits) {
    if (!proxy.empty()) FrontEnd.TrustProxy(proxy);
    Port = FrontEnd.Bind("127.0.0.1", 0);
    thread_ = std::thread([this] { FrontEnd.Run(); });
  }
  ~EchoServer() {
    FrontEnd.Stop();
    thread_.join();
  }
  HttpFrontEnd FrontEnd;
  int Port = 0;

 private:
  std::thread thread_;
};

struct Reply {
  int Status = 0;
  std::string Head;
  std::string Body;
};

// A client connection that sends in pieces and reads replies one at a time.
class Client {
 public:
  explicit Client(int port, const char* source = "127.0.0.1") {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    EXPECT_EQ(::inet_pton(AF_INET, source, &local.sin_addr), 1) << source;
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local), 0) << source;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Client() { ::close(fd_); }
  bool Connected() const { return connected_; }

  bool Send(const std::string& bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }

  // The next reply, or nullopt when the connection closed or the time ran out first.
  std::optional<Reply> Read(std::chrono::milliseconds limit = 3000ms) {
    auto deadline = Clock::now() + limit;
    while (true) {
      std::size_t headEnd = held_.find("\r\n\r\n");
      bool interim = held_.compare(0, 10, "HTTP/1.1 1") == 0;  // 1xx: a head alone
      if (headEnd != std::string::npos && (interim || testing::WholeReply(held_))) {
        Reply reply;
        reply.Head = held_.substr(0, headEnd + 4);
        reply.Status = std::atoi(held_.c_str() + 9);
        std::size_t length = 0;
        std::size_t field = reply.Head.find("Content-Length: ");
        if (field != std::string::npos) length = std::stoul(reply.Head.substr(field + 16));
        reply.Body = held_.substr(headEnd + 4, length);
        held_.erase(0, headEnd + 4 + length);
        return reply;
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }

  // True when the server closes the connection within the limit.
  bool ClosedWithin(std::chrono::milliseconds limit) {
    auto deadline = Clock::now() + limit;
    while (Fill(deadline)) {
    }
    return closed_;
  }

 private:
  bool Fill(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd readable{fd_, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) {
      closed_ = true;
      return false;
    }
    held_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int fd_ = -1;
  bool connected_ = false;
  bool closed_ = false;
  std::string held_;
};

TEST(FrontEnd, RequestsOverALimitAreRefusedAndTheConnectionClosed) {
  EchoServer server;
  std::string manyHeaders;
  for (int i = 0; i < 9; ++i) manyHeaders += "X-" + std::to_string(i) + ": a\r\n";
  const struct {
    std::string Request;
    int Status;
  } cases[] = {
      {"GET / HTTP/1.1\r\nHost: x\r\n" + manyHeaders + "\r\n", 431},
      {"GET / HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(1100, 'a') + "\r\n\r\n", 431},
      {"GET /" + std::string(1100, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n", 414},
      {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 65\r\n\r\n" + std::string(65, 'b'), 413},
      {"POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n41\r\n" +
           std::string(65, 'c') + "\r\n0\r\n\r\n",
       413},
      {"GET / HTTP/2.0\r\nHost: x\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", 400},
      {"GET\x01 / HTTP/1.1\r\n\r\n", 400},
  };
  for (const auto& c : cases) {
    Client client(server.Port);
    ASSERT_TRUE(client.Connected());
    client.Send(c.Request);
    auto reply = client.Read();
    ASSERT_TRUE(reply.has_value()) << c.Request.substr(0, 60);
    EXPECT_EQ(reply->Status, c.Status) << c.Request.substr(0, 60);
    EXPECT_EQ(reply->Body.substr(0, 6), "ERROR|") << c.Request.substr(0, 60);
    EXPECT_NE(reply->Head.find("Connection: close\r\n"), std::string::npos);
    EXPECT_TRUE(client.ClosedWithin(2000ms)) << c.Request.substr(0, 60);
  }
  // The limits leave room for what fits them.
  Client fits(server.Port);
  fits.Send("POST /up HTTP/1.1\r\nHost: x\r\nContent-Length: 64\r\n\r\n" + std::string(64, 'd'));
  auto reply = fits.Read();
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->Body, "POST|/up|127.0.0.1|" + std::string(64, 'd'));
}

TEST(FrontEnd, DeadlineCoversTheWholeRequestNotEachRead) {
  EchoServer server;  // one second for a whole request
  Client dripping(server.Port);
  Client idle(server.Port);
  auto started = Clock::now();
  std::string request = "GET / HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(40, 'a');
  bool cutOff = false;
  for (char c : request) {
    // A byte every 100 ms keeps each read well inside a second.
    if (!dripping.Send(std::string(1, c)) || dripping.ClosedWithin(100ms)) {
      cutOff = true;
      break;
    }
  }
  auto held = Clock::now() - started;
  EXPECT_TRUE(cutOff);
  EXPECT_LT(held, 2500ms);
  EXPECT_GE(held, 900ms);
  EXPECT_TRUE(idle.ClosedWithin(1000ms));
}

TEST(FrontEnd, KeepAliveAnswersPipelinedRequestsInOrderAndReadsBodies) {
  EchoServer server;
  Client client(server.Port);
  // A GET with a body whose bytes look like a request, sent late: it is read as the body.
  const std::string late = "GET /smuggled HTTP/1.1\r\n\r\n\r\n\r\n";
  client.Send("GET /first HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(late.size()) +
              "\r\n\r\n");
  std::this_thread::sleep_for(200ms);
  client.Send(late);
  auto first = client.Read();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->Body, "GET|/first|127.0.0.1|GET /smuggled HTTP/1.1\r\n\r\n\r\n\r\n");
  EXPECT_NE(first->Head.find("Keep-Alive: timeout=1\r\n"), std::string::npos);

  client.Send(
      "GET /a HTTP/1.1\r\nHost: x\r\n\r\n"
      "POST /b HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nxyz"
      "GET /c HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  for (const char* expected : {"GET|/a|127.0.0.1|", "POST|/b|127.0.0.1|xyz", "GET|/c|127.0.0.1|"}) {
    auto reply = client.Read();
    ASSERT_TRUE(reply.has_value()) << expected;
    EXPECT_EQ(reply->Body, expected);
  }
  EXPECT_TRUE(client.ClosedWithin(2000ms));

  // Kept-alive replies are not held back waiting for the client's delayed ACK.
  Client again(server.Port);
  auto started = Clock::now();
  for (int i = 0; i < 20; ++i) {
    again.Send("GET /quick HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(again.Read().has_value()) << i;
  }
  EXPECT_LT(Clock::now() - started, 400ms);  // 20 x 40 ms if every reply waited
}

TEST(FrontEnd, ExpectContinueGetsTheGoAheadBeforeTheBody) {
  EchoServer server;
  Client client(server.Port);
  client.Send(
      "POST /replay HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nExpect: 100-continue\r\n\r\n");
  auto goAhead = client.Read(1000ms);
  ASSERT_TRUE(goAhead.has_value());
  EXPECT_EQ(goAhead->Status, 100);
  client.Send("12345");
  auto reply = client.Read();
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->Body, "POST|/replay|127.0.0.1|12345");

  // Too large a body is refused before the client sends it.
  Client large(server.Port);
  large.Send(
      "POST /replay HTTP/1.1\r\nHost: x\r\nContent-Length: 9000\r\nExpect: 100-continue\r\n\r\n");
  auto refused = large.Read(1000ms);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->Status, 413);
}

TEST(FrontEnd, ConnectionsPerAddressAreCappedAndFreedOnClose) {
  EchoServer server;  // three per address
  std::vector<std::unique_ptr<Client>> held;
  for (int i = 0; i < 3; ++i) {
    held.push_back(std::make_unique<Client>(server.Port, "127.0.0.21"));
    held.back()->Send("GET /held HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(held.back()->Read().has_value());
  }
  Client fourth(server.Port, "127.0.0.21");
  auto refused = fourth.Read(1000ms);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->Status, 503);

  Client otherAddress(server.Port, "127.0.0.22");
  otherAddress.Send("GET /other HTTP/1.1\r\nHost: x\r\n\r\n");
  ASSERT_TRUE(otherAddress.Read().has_value());

  held.pop_back();
  std::this_thread::sleep_for(100ms);
  Client afterClose(server.Port, "127.0.0.21");
  afterClose.Send("GET /again HTTP/1.1\r\nHost: x\r\n\r\n");
  auto served = afterClose.Read();
  ASSERT_TRUE(served.has_value());
  EXPECT_EQ(served->Status, 200);
}

TEST(FrontEnd, ClientBehindTheTrustedProxyIsTheLastForwardedAddress) {
  const struct {
    std::string Proxy;
    const char* Peer;
    std::string Forwarded;
    std::string Client;
  } cases[] = {
      {"127.0.0.31", "127.0.0.31", "198.51.100.7, 203.0.113.5", "203.0.113.5"},
      {"127.0.0.31", "127.0.0.31", "2001:db8::1", "2001:db8::1"},
      {"127.0.0.31", "127.0.0.31", "not-an-address", "127.0.0.31"},
      {"127.0.0.31", "127.0.0.32", "203.0.113.5", "127.0.0.32"},  // not the proxy: ignored
      {"", "127.0.0.31", "203.0.113.5", "127.0.0.31"},
  };
  for (const auto& c : cases) {
    EchoServer server(SmallLimits(), c.Proxy);
    Client client(server.Port, c.Peer);
    client.Send("GET /who HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: " + c.Forwarded + "\r\n\r\n");
    auto reply = client.Read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->Body, "GET|/who|" + c.Client + "|") << c.Forwarded;
  }
}

TEST(FrontEnd, StopsAtOnceWhateverTheClientsDo) {
  auto server = std::make_unique<EchoServer>();
  Client idle(server->Port);
  Client partial(server->Port);
  partial.Send("GET / HTTP/1.1\r\nHost: x\r\nX-Slow: a");
  std::this_thread::sleep_for(100ms);
  auto started = Clock::now();
  server.reset();
  EXPECT_LT(Clock::now() - started, 500ms);
  EXPECT_TRUE(idle.ClosedWithin(500ms));
}

}  // namespace
}  // namespace rivoltra::scores
