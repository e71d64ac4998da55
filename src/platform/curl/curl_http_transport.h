#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "persist/online.h"

namespace rivoltra {

// HTTP/1.1 GET (and POST for replays) over libcurl with the request headers the score server
// has always seen. Cookies
// the server sets are kept for the life of the object; proxies from the environment are ignored.
class CurlHttpTransport final : public HttpTransport {
 public:
  // Replies of the score server are a few hundred bytes; anything near this is not one.
  static constexpr std::size_t kMaxReplyBytes = std::size_t{64} * 1024;

  CurlHttpTransport(std::chrono::milliseconds connectTimeout,
                    std::chrono::milliseconds requestTimeout);
  ~CurlHttpTransport() override;
  CurlHttpTransport(const CurlHttpTransport&) = delete;
  CurlHttpTransport& operator=(const CurlHttpTransport&) = delete;

  std::optional<std::string> Get(const std::string& address) override;
  std::optional<std::string> Post(const std::string& address, const std::string& body,
                                  const std::string& contentType) override;

 private:
  // A GET when postBody is null.
  std::optional<std::string> Perform(const std::string& address, const std::string* postBody,
                                     const std::string& contentType);

  std::chrono::milliseconds connectTimeout_;
  std::chrono::milliseconds requestTimeout_;
  void* handle_ = nullptr;  // CURL*, reused so cookies and the connection carry over
};

}  // namespace rivoltra
