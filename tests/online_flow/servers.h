#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace rivoltra::testing {

using namespace std::chrono_literals;

// The score server program on 127.0.0.1 and a port the kernel picks, with its own database
// file; stopped with SIGTERM (and killed if it does not stop) when the test is done.
class ScoreServerProcess {
 public:
  ScoreServerProcess(const std::string& binary, const std::filesystem::path& database) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string databaseText = database.string();
    std::vector<std::string> arguments = {binary, "--listen",   "127.0.0.1:0",
                                          "--db", databaseText, "--quiet"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    output_ = ends[0];
    if (spawned != 0) {
      pid_ = -1;
      throw std::runtime_error("cannot start " + binary);
    }
    // "rivoltra-scores listening on http://127.0.0.1:PORT/ with FILE"
    const std::string line = FirstLine(5s);
    const std::size_t at = line.find("http://127.0.0.1:");
    if (at == std::string::npos) throw std::runtime_error("score server said: " + line);
    port_ = std::stoi(line.substr(at + 17));
  }

  ~ScoreServerProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      if (!WaitForExit(5s)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
      }
    }
    if (output_ >= 0) ::close(output_);
  }

  ScoreServerProcess(const ScoreServerProcess&) = delete;
  ScoreServerProcess& operator=(const ScoreServerProcess&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  std::string FirstLine(std::chrono::milliseconds limit) const {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd readable{output_, POLLIN, 0};
      if (::poll(&readable, 1, 50) <= 0) continue;
      if (::read(output_, &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    return line;
  }

  bool WaitForExit(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  pid_t pid_ = -1;
  int output_ = -1;
  int port_ = 0;
};

// A socket listening on 127.0.0.1 at a port the kernel picks, with the given backlog.
inline int ListenOnLoopback(int backlog, sockaddr_in& address, int& port) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  address = sockaddr_in{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 ||
      ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, backlog) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener >= 0) ::close(listener);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return listener;
}

// A listening socket on 127.0.0.1 that takes every connection, reads what comes and never
// answers, the way a hung server does; connections are closed when it is destroyed.
class SilentServer {
 public:
  SilentServer() {
    sockaddr_in address{};
    listener_ = ListenOnLoopback(8, address, port_);
    thread_ = std::thread([this] { Serve(); });
  }

  ~SilentServer() {
    stop_ = true;
    thread_.join();
    for (int connection : connections_) ::close(connection);
    ::close(listener_);
  }

  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

  // What each connection has sent so far, in the order they came.
  std::vector<std::string> Received() const {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  void Serve() {
    while (!stop_) {
      std::vector<pollfd> waiting{{listener_, POLLIN, 0}};
      {
        std::lock_guard lock(mutex_);
        for (int connection : connections_) waiting.push_back({connection, POLLIN, 0});
      }
      if (::poll(waiting.data(), waiting.size(), 50) <= 0) continue;
      std::lock_guard lock(mutex_);
      for (std::size_t i = 1; i < waiting.size(); ++i) {
        if ((waiting[i].revents & POLLIN) == 0) continue;
        char buffer[4096];
        const ssize_t n = ::recv(waiting[i].fd, buffer, sizeof buffer, 0);
        if (n > 0) received_[i - 1].append(buffer, static_cast<std::size_t>(n));
      }
      if ((waiting[0].revents & POLLIN) != 0) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
          connections_.push_back(connection);
          received_.emplace_back();
        }
      }
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<int> connections_;
  std::vector<std::string> received_;
  std::thread thread_;
};

// A listening socket on 127.0.0.1 whose queue of connections is full and never emptied: the
// kernel drops further connection attempts, so a client's connect never completes.
class FullQueueServer {
 public:
  FullQueueServer() {
    sockaddr_in address{};
    // A backlog of 0 leaves room for one connection, which the server takes itself.
    listener_ = ListenOnLoopback(0, address, port_);
    filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (filler_ < 0 ||
        ::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      if (filler_ >= 0) ::close(filler_);
      ::close(listener_);
      throw std::runtime_error("cannot fill the queue");
    }
  }

  ~FullQueueServer() {
    ::close(filler_);
    ::close(listener_);
  }

  FullQueueServer(const FullQueueServer&) = delete;
  FullQueueServer& operator=(const FullQueueServer&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  int listener_ = -1;
  int filler_ = -1;
  int port_ = 0;
};

// A port on 127.0.0.1 that nothing listens on: one the kernel handed out and that was closed
// again at once.
inline int ClosedPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (probe < 0 || ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (probe >= 0) ::close(probe);
    throw std::runtime_error("cannot bind 127.0.0.1");
  }
  ::close(probe);
  return ntohs(address.sin_port);
}

}  // namespace rivoltra::testing
