#pragma once

#include <chrono>
#include <string>

#include "http_front_end.h"

namespace rivoltra::scores {

// One request as a JSON object on one line, for log shippers: time (UTC, milliseconds),
// address, method, path (the target as it arrived, cut to 2048 bytes), status, bytes of the
// reply's body and duration in milliseconds. Bytes that are not UTF-8 are replaced.
std::string AccessLogJson(const HttpFrontEnd::Exchange& exchange,
                          std::chrono::system_clock::time_point when);

}  // namespace rivoltra::scores
