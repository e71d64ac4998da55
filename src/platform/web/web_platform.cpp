#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <memory>

#include "platform/web/fetch_http_transport.h"
#include "platform/web/fetch_pending_get.h"

namespace rivoltra {

WebPlatform::WebPlatform()
    : SdlPlatform([](const HttpLimits& limits) -> std::unique_ptr<HttpTransport> {
        return std::make_unique<FetchHttpTransport>(limits);
      }),
      clock_(SdlPlatform::Milliseconds()) {
  // The page's sound starts with the window, as it always has (the browser lets it be heard
  // from the first key or touch).
  StartSoundOutput();
}

bool WebPlatform::IsApplicationActive() {
  // SDL marks the window hidden while the page's tab is not shown.
  return SdlPlatform::IsApplicationActive() &&
         (SDL_GetWindowFlags(Window()) & SDL_WINDOW_HIDDEN) == 0;
}

std::unique_ptr<PendingHttpGet> WebPlatform::StartHttpGet(const std::string& address,
                                                          const HttpLimits& limits) {
  return StartFetchGet(address, limits);
}

bool WebPlatform::Open(bool fullScreen, int width, int height, std::string& reason) {
  if (!SdlPlatform::Open(false, width, height, reason)) return false;
  // The page asks the browser; without a recent key press or click the browser refuses, and the
  // page then switches the game's option back (see the page's full-screen handling).
  EM_ASM(
      {
        if (Module['rivoltraFullScreen']) Module['rivoltraFullScreen']($0 != 0);
      },
      fullScreen);
  return true;
}

}  // namespace rivoltra
