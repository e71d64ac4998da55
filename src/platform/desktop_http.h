#pragma once

#include <memory>

#include "persist/http_transport.h"

namespace rivoltra {

// The desktop game's HTTP transport: libcurl on Linux (platform/curl), WinHTTP on Windows
// (platform/winhttp), whichever the build links.
std::unique_ptr<HttpTransport> OpenDesktopHttp(const HttpLimits& limits);

}  // namespace rivoltra
