#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "persist/http_transport.h"

namespace rivoltra {

// GET and POST through the browser's fetch. The page's main thread cannot block on the network, so
// the call suspends the program (asyncify) and resumes it when the reply is in or the time limit
// has aborted the request; the page stays responsive meanwhile and the game waits, as it does for a
// desktop request. The browser shows no connect phase of its own, so the request limit bounds
// the whole exchange, connecting included (the desktop's total limit does the same).
class FetchHttpTransport final : public HttpTransport {
 public:
  // Replies of the score server are a few hundred bytes; anything near this is not one.
  static constexpr std::size_t kMaxReplyBytes = std::size_t{64} * 1024;

  explicit FetchHttpTransport(const HttpLimits& limits) : limits_(limits) {}

  std::optional<std::string> Get(const std::string& address) override;
  std::optional<std::string> Post(const std::string& address, const std::string& body,
                                  const std::string& contentType) override;

 private:
  // A POST when body is given.
  std::optional<std::string> Fetch(const std::string& address, const std::string* body,
                                   const std::string& contentType);
  HttpLimits limits_;
};

}  // namespace rivoltra
