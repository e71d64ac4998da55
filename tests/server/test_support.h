#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "http_front_end.h"
#include "rate_limiter.h"
#include "score_service.h"
#include "score_store.h"
#include "token_store.h"

namespace rivoltra::scores::testing {

// The whole score server on 127.0.0.1 and a free port, served from a thread of the test.
class RunningServer {
 public:
  explicit RunningServer(const std::string& database = ":memory:")
      : Store(database), FrontEnd(Service, HttpFrontEnd::Limits{1, 1, 1024, 4}) {
    Port = FrontEnd.Bind("127.0.0.1", 0);
    thread_ = std::thread([this] { FrontEnd.Run(); });
  }
  ~RunningServer() {
    FrontEnd.Stop();
    thread_.join();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(Port); }

  ScoreStore Store;
  TokenStore Tokens{TokenStore::Limits{}};
  RateLimiter VersionLimiter{{30, std::chrono::seconds(2), 64}};
  RateLimiter ReportLimiter{{5, std::chrono::seconds(60), 64}};
  LocalBackend Backend{Store, Tokens};
  ScoreService Service{Backend, VersionLimiter, ReportLimiter};
  HttpFrontEnd FrontEnd;
  int Port = 0;

 private:
  std::thread thread_;
};

// True once `reply` holds a header and the Content-Length bytes after it, so a kept-alive
// connection does not have to time out.
inline bool WholeReply(const std::string& reply) {
  std::size_t headerEnd = reply.find("\r\n\r\n");
  if (headerEnd == std::string::npos) return false;
  std::string header = reply.substr(0, headerEnd);
  for (char& c : header) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t field = header.find("\r\ncontent-length:");
  if (field == std::string::npos) return false;
  std::size_t length = std::strtoul(header.c_str() + field + 17, nullptr, 10);
  return reply.size() >= headerEnd + 4 + length;
}

// Sends raw bytes to 127.0.0.1:port and returns what comes back before the server closes the
// connection or the time runs out; nullopt when no connection could be made. The sending side
// stays open: the listener does not answer a client that has already hung up.
inline std::optional<std::string> RawExchange(
    int port, const std::string& bytes,
    std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return std::nullopt;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string reply;
  auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, 50) <= 0) continue;
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    reply.append(buffer, static_cast<std::size_t>(n));
    if (WholeReply(reply)) break;
  }
  ::close(fd);
  return reply;
}

// A child process with its standard output on a pipe.
struct Child {
  pid_t Pid = -1;
  int Output = -1;
};

inline Child Spawn(const std::vector<std::string>& arguments, bool captureOutput = true) {
  // Built before the fork: the child of a threaded process may only make async-signal-safe
  // calls until it executes the program.
  std::vector<char*> argv;
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return {};
  pid_t pid = ::fork();
  if (pid == 0) {
    int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(captureOutput ? pipeEnds[1] : quiet, STDOUT_FILENO);
    if (quiet >= 0) ::dup2(quiet, STDERR_FILENO);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  if (pid < 0) {
    ::close(pipeEnds[0]);
    return {};
  }
  return {pid, pipeEnds[0]};
}

// The first line the child writes, or what it wrote before the time ran out.
inline std::string ReadLine(int fd, std::chrono::milliseconds limit) {
  std::string line;
  auto deadline = std::chrono::steady_clock::now() + limit;
  char c = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, 50) <= 0) continue;
    if (::read(fd, &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  return line;
}

// The child's exit status, killing it when it has not ended within the limit.
inline std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return std::nullopt;
}

inline std::filesystem::path FreshTempPath(const std::string& name) {
  auto path = std::filesystem::temp_directory_path() /
              ("rivoltra-" + name + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(path);
  return path;
}

}  // namespace rivoltra::scores::testing
