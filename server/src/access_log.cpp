#include "access_log.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

namespace rivoltra::scores {
namespace {

constexpr std::size_t kLoggedPathLength = 2048;

std::string IsoTime(std::chrono::system_clock::time_point when) {
  auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(millis / 1000);
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                static_cast<int>(millis % 1000));
  return text;
}

}  // namespace

std::string AccessLogJson(const HttpFrontEnd::Exchange& exchange,
                          std::chrono::system_clock::time_point when) {
  double milliseconds = std::chrono::duration<double, std::milli>(exchange.Duration).count();
  nlohmann::json line = {
      {"time", IsoTime(when)},
      {"address", std::string(exchange.Client)},
      {"method", std::string(exchange.Method)},
      {"path", std::string(exchange.Target.substr(0, kLoggedPathLength))},
      {"status", exchange.Status},
      {"bytes", exchange.BodyBytes},
      {"duration_ms", static_cast<double>(static_cast<long long>(milliseconds * 1000)) / 1000}};
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace rivoltra::scores
