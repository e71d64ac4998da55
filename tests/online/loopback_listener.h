#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace rivoltra::testing {

// A listener on 127.0.0.1 that reads one request per connection and sends the next scripted
// reply (raw bytes, status line included); a missing reply keeps the connection open and silent
// until the listener is destroyed. Every wait is bounded so a broken test cannot hang.
class LoopbackListener {
 public:
  explicit LoopbackListener(std::vector<std::optional<std::string>> replies)
      : replies_(std::move(replies)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 8) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      ::close(listenFd_);
      throw std::runtime_error("bind 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }

  ~LoopbackListener() {
    stop_ = true;
    thread_.join();
    for (int fd : silent_) ::close(fd);
    ::close(listenFd_);
  }

  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int Port() const { return port_; }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

  std::vector<std::string> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    std::size_t next = 0;
    while (!stop_) {
      pollfd waiting{listenFd_, POLLIN, 0};
      if (::poll(&waiting, 1, 50) <= 0) continue;
      int fd = ::accept(listenFd_, nullptr, nullptr);
      if (fd < 0) continue;
      std::string request = ReadRequest(fd);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      std::optional<std::string> reply = next < replies_.size() ? replies_[next] : std::nullopt;
      ++next;
      if (!reply) {
        silent_.push_back(fd);
        continue;
      }
      std::size_t sent = 0;
      while (sent < reply->size()) {
        ssize_t n = ::send(fd, reply->data() + sent, reply->size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      ::close(fd);
    }
  }

  std::string ReadRequest(int fd) const {
    std::string request;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 &&
           std::chrono::steady_clock::now() < deadline && !stop_) {
      pollfd readable{fd, POLLIN, 0};
      if (::poll(&readable, 1, 50) <= 0) continue;
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    return request;
  }

  std::vector<std::optional<std::string>> replies_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<int> silent_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A whole HTTP/1.1 reply with the given status, extra header lines and body.
inline std::string HttpReply(int status, const std::string& body,
                             const std::string& extraHeaders = "") {
  return "HTTP/1.1 " + std::to_string(status) +
         " Status\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
         extraHeaders + "\r\n" + body;
}

}  // namespace rivoltra::testing
