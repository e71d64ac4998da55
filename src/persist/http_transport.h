#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace rivoltra {

// A blocking GET of a full address: the body on a 2xx reply, nullopt on any failure (no
// connection, time limit, error status, a body too large to be a reply of the score server).
class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  virtual std::optional<std::string> Get(const std::string& address) = 0;
  // A blocking POST of `body` with that Content-Type, under the same limits and the same
  // contract as Get. A transport that cannot post answers nothing, as an unreachable server.
  virtual std::optional<std::string> Post(const std::string& address, const std::string& body,
                                          const std::string& contentType) {
    (void)address;
    (void)body;
    (void)contentType;
    return std::nullopt;
  }
};

// A GET started without waiting for it: the frame loop asks each tick whether the reply is in.
// Dropping it abandons the request (its reply, when it comes, is thrown away).
class PendingHttpGet {
 public:
  virtual ~PendingHttpGet() = default;
  // Whether the exchange has ended, with a reply or without.
  virtual bool Done() = 0;
  // The reply once Done (nullopt on any failure); nullopt before.
  virtual std::optional<std::string> Reply() = 0;
};

// The time limits of one transport: a server that accepts the connection and never answers
// would otherwise hold the game, which draws nothing while a request runs.
struct HttpLimits {
  std::chrono::milliseconds ConnectTimeout{5000};
  std::chrono::milliseconds RequestTimeout{15000};
};

}  // namespace rivoltra
