#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "score_service.h"

namespace rivoltra::scores {

// The replies every request handler of the service builds.
inline constexpr std::string_view kPagePolicy =
    "default-src 'none'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";

inline ServerResponse Plain(int status, std::string body) {
  ServerResponse response;
  response.Status = status;
  response.Body = std::move(body);
  return response;
}

inline ServerResponse Refusal(int status, std::string_view reason) {
  return Plain(status, "ERROR|" + std::string(reason) + "\n");
}

inline ServerResponse Html(std::string page) {
  ServerResponse response;
  response.ContentType = "text/html; charset=utf-8";
  response.Body = std::move(page);
  response.Headers.emplace_back("Content-Security-Policy", std::string(kPagePolicy));
  return response;
}

}  // namespace rivoltra::scores
