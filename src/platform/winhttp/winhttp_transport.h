#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "persist/http_transport.h"

namespace rivoltra {

// HTTP/1.1 GET and POST over Windows' own WinHTTP, with the request headers the score server has
// always seen: Windows' proxy settings and certificate store, no extra library. Cookies the
// server sets are kept for the life of the object; redirects are not followed.
class WinHttpTransport final : public HttpTransport {
 public:
  // Replies of the score server are a few hundred bytes; anything near this is not one.
  static constexpr std::size_t kMaxReplyBytes = std::size_t{64} * 1024;

  WinHttpTransport(std::chrono::milliseconds connectTimeout,
                   std::chrono::milliseconds requestTimeout);
  ~WinHttpTransport() override;
  WinHttpTransport(const WinHttpTransport&) = delete;
  WinHttpTransport& operator=(const WinHttpTransport&) = delete;

  std::optional<std::string> Get(const std::string& address) override;
  std::optional<std::string> Post(const std::string& address, const std::string& body,
                                  const std::string& contentType) override;

 private:
  // A GET when postBody is null.
  std::optional<std::string> Perform(const std::string& address, const std::string* postBody,
                                     const std::string& contentType);

  std::chrono::milliseconds connectTimeout_;
  std::chrono::milliseconds requestTimeout_;
  void* session_ = nullptr;  // HINTERNET, kept so cookies carry over between requests
};

}  // namespace rivoltra
