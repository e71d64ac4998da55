#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "persist/http_transport.h"

namespace rivoltra {

// The headless machine's network: no real connection unless a test or the runner installs one.
// Replies come from a table filled by the test (an address not in it gets no answer, as from a
// server that is not running), and every address asked for is recorded with the time limits of
// its transport. Posts are answered from a table of their own and recorded with their bodies.
class FakeHttp {
 public:
  struct Posted {
    std::string Address;
    std::string Body;
    std::string ContentType;
  };

  // Makes real transports instead, for a run against a real server.
  using Connector = std::function<std::unique_ptr<HttpTransport>(const HttpLimits& limits)>;

  void SetReply(const std::string& address, std::optional<std::string> reply) {
    replies_[address] = std::move(reply);
  }
  void SetPostReply(const std::string& address, std::optional<std::string> reply) {
    postReplies_[address] = std::move(reply);
  }
  void Connect(Connector connector) { connector_ = std::move(connector); }
  // Whether a run against a real server installed its transports.
  bool Connected() const { return static_cast<bool>(connector_); }

  std::unique_ptr<HttpTransport> Open(const HttpLimits& limits);

  // The addresses asked for through the table since the last call.
  std::vector<std::string> TakeRequests();
  // The posts made through the table since the last call.
  std::vector<Posted> TakePosts();
  // The limits of the last transport opened, real or not.
  const std::optional<HttpLimits>& LastLimits() const { return lastLimits_; }

 private:
  class TableTransport;

  std::map<std::string, std::optional<std::string>> replies_;
  std::vector<std::string> requests_;
  std::map<std::string, std::optional<std::string>> postReplies_;
  std::vector<Posted> posts_;
  std::optional<HttpLimits> lastLimits_;
  Connector connector_;
};

}  // namespace rivoltra
