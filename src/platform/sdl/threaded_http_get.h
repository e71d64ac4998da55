#pragma once

#include <memory>
#include <optional>
#include <string>

#include "persist/http_transport.h"

namespace rivoltra {

// The GET runs on a thread of its own with the transport, which the thread keeps; the thread
// outlives an abandoned request until the transport's time limits end it.
std::unique_ptr<PendingHttpGet> StartThreadedGet(std::unique_ptr<HttpTransport> transport,
                                                 std::string address);

}  // namespace rivoltra
