#pragma once

#include <chrono>
#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "score_service.h"

namespace rivoltra::scores {

// The score service on a socket: an event-driven HTTP/1.1 listener. Slow, oversized or
// malformed requests are cut off here, before the service sees them; the service itself runs
// on worker threads, so a storage call never holds up reading or writing other connections.
class HttpFrontEnd {
 public:
  struct Limits {
    // Whole request, from the connection's start or the previous reply to the last body byte;
    // a client dripping bytes is cut off by it just as an idle one.
    std::time_t ReadTimeoutSeconds = 5;
    std::time_t WriteTimeoutSeconds = 5;
    std::size_t MaxBodyBytes = 1024;
    // Replay uploads (POST /cgi/replay.pl) have their own cap, and at most so many of them are
    // read at once, so a flood of them cannot fill the memory: each holds its body twice.
    std::size_t MaxUploadBytes = 1 << 20;
    std::size_t MaxUploadsAtOnce = 16;
    // Upload places one client address may hold, so one address cannot take them all.
    std::size_t MaxUploadsPerClient = 2;
    std::size_t WorkerThreads = 8;      // threads that run the service
    std::size_t MaxHeaderBytes = 8192;  // request line and header fields together
    std::size_t MaxHeaderCount = 64;
    std::size_t MaxConnections = 4096;
    std::size_t MaxConnectionsPerClient = 256;
    int ListenBacklog = 1024;
  };
  using Handler = std::function<ServerResponse(const ServerRequest&, const ServiceTime&)>;
  using Log = std::function<void(const std::string& line)>;
  // Decides on an upload from its head alone, before its body is read: a reply refuses it
  // (and the connection is closed), nullopt lets the body be read. Runs on a worker thread.
  using Admission =
      std::function<std::optional<ServerResponse>(const ServerRequest& head, const ServiceTime&)>;
  // One answered request, for the access log and the metrics.
  struct Exchange {
    std::string_view Client;
    std::string_view Method;
    std::string_view Target;
    int Status = 0;
    std::size_t BodyBytes = 0;
    std::chrono::steady_clock::duration Duration{};  // from the whole head to the reply
  };
  using Observer = std::function<void(const Exchange&)>;

  HttpFrontEnd(ScoreService& service, Limits limits, Log log = nullptr);
  HttpFrontEnd(Handler handler, Limits limits, Log log = nullptr);
  ~HttpFrontEnd();
  HttpFrontEnd(const HttpFrontEnd&) = delete;
  HttpFrontEnd& operator=(const HttpFrontEnd&) = delete;

  // Requests from this peer address name their client in X-Forwarded-For (its last entry);
  // that client is then the one rate limits and tokens count. Call before Run.
  void TrustProxy(std::string address);
  // Call before Run.
  void AdmitUploadsWith(Admission admission);
  // Called on the listener's thread for every reply; call before Run.
  void Observe(Observer observer);
  // Binds host:port, any free port when port is 0, and returns the bound port. Throws
  // std::runtime_error when the address cannot be bound.
  int Bind(const std::string& host, int port);
  // Serves until Stop; false when serving could not start.
  bool Run();
  // Safe from any thread, also while Run is about to start. Open connections are dropped.
  void Stop();
  std::size_t OpenConnections() const;
  // Connections refused by the connection limits, and uploads by the upload places, so far.
  std::size_t RefusedConnections() const;
  std::size_t RefusedUploadPlaces() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// One log line: the client, the status, the method and the target cut to a readable length
// with every byte outside printable ASCII replaced, so hostile targets cannot forge lines.
std::string AccessLogLine(std::string_view client, int status, std::string_view method,
                          std::string_view target);

}  // namespace rivoltra::scores
