#pragma once

#include <atomic>
#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "score_service.h"

namespace httplib {
class Server;
}

namespace rivoltra::scores {

// The score service on a socket: one HTTP/1.1 listener whose every request goes to
// ScoreService::Handle. Slow or oversized requests are cut off here, before the service sees
// them.
class HttpFrontEnd {
 public:
  struct Limits {
    std::time_t readTimeoutSeconds = 5;
    std::time_t writeTimeoutSeconds = 5;
    std::size_t maxBodyBytes = 1024;  // the service reads no body; this only bounds the waste
    std::size_t workerThreads = 8;
  };
  using Log = std::function<void(const std::string& line)>;

  HttpFrontEnd(ScoreService& service, Limits limits, Log log = nullptr);
  ~HttpFrontEnd();
  HttpFrontEnd(const HttpFrontEnd&) = delete;
  HttpFrontEnd& operator=(const HttpFrontEnd&) = delete;

  // Binds host:port, any free port when port is 0, and returns the bound port. Throws
  // std::runtime_error when the address cannot be bound.
  int Bind(const std::string& host, int port);
  // Serves until Stop; false when serving could not start.
  bool Run();
  // Safe from any thread, also while Run is about to start.
  void Stop();

 private:
  ScoreService& service_;
  std::unique_ptr<httplib::Server> server_;
  std::atomic<bool> stopRequested_{false};
};

// One log line: the client, the status, the method and the target cut to a readable length
// with every byte outside printable ASCII replaced, so hostile targets cannot forge lines.
std::string AccessLogLine(std::string_view client, int status, std::string_view method,
                          std::string_view target);

}  // namespace rivoltra::scores
