#pragma once

#include <memory>
#include <string>

#include "persist/http_transport.h"

namespace rivoltra {

// A GET through the browser's fetch that the game polls each frame instead of waiting for:
// the page has no threads, and this request must not pause the game as the score reports do.
std::unique_ptr<PendingHttpGet> StartFetchGet(const std::string& address, const HttpLimits& limits);

}  // namespace rivoltra
