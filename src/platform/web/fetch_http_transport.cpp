#include "platform/web/fetch_http_transport.h"

#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace rivoltra {

namespace {

// Resolves to a malloc'ed block (the body's length as 4 bytes, then the body) on a 2xx reply no
// longer than maxBytes, and to 0 on anything else: no connection, an error status, a body too
// large, or the time limit (the AbortController ends the request itself, not only the wait for
// it). A request body (bodyLength bytes at body, with its content type) makes it a POST. Cookies
// of the page's own server travel as they do for the page.
// clang-format off
EM_ASYNC_JS(char*, rivoltra_fetch, (const char* address, const char* body, int bodyLength,
                                    const char* contentType, int timeoutMs, int maxBytes), {
  Module['rivoltraFetching'] = true;
  const controller = new AbortController();
  const timer = setTimeout(() => controller.abort(), timeoutMs);
  try {
    const request = {signal: controller.signal, cache: 'no-store', credentials: 'same-origin',
                     redirect: 'error', headers: {'Accept': 'text/html, */*'}};
    if (body) {
      request.method = 'POST';
      request.headers['Content-Type'] = UTF8ToString(contentType);
      request.body = HEAPU8.slice(body, body + bodyLength);
    }
    const response = await fetch(UTF8ToString(address), request);
    if (!response.ok) return 0;
    const bytes = new Uint8Array(await response.arrayBuffer());
    if (bytes.length > maxBytes) return 0;
    const block = _malloc(4 + bytes.length);
    if (!block) return 0;
    HEAPU32[block >> 2] = bytes.length;
    HEAPU8.set(bytes, block + 4);
    return block;
  } catch (error) {
    return 0;
  } finally {
    clearTimeout(timer);
    Module['rivoltraFetching'] = false;
  }
});
// clang-format on

}  // namespace

std::optional<std::string> FetchHttpTransport::Fetch(const std::string& address,
                                                     const std::string* body,
                                                     const std::string& contentType) {
  const auto timeout = static_cast<int>(limits_.RequestTimeout.count());
  char* block = rivoltra_fetch(address.c_str(), body != nullptr ? body->data() : nullptr,
                               body != nullptr ? static_cast<int>(body->size()) : 0,
                               contentType.c_str(), timeout, static_cast<int>(kMaxReplyBytes));
  if (block == nullptr) return std::nullopt;
  std::uint32_t length = 0;
  std::memcpy(&length, block, sizeof length);
  std::string reply(block + sizeof length, length);
  std::free(block);
  return reply;
}

std::optional<std::string> FetchHttpTransport::Get(const std::string& address) {
  return Fetch(address, nullptr, {});
}

std::optional<std::string> FetchHttpTransport::Post(const std::string& address,
                                                    const std::string& body,
                                                    const std::string& contentType) {
  return Fetch(address, &body, contentType);
}

}  // namespace rivoltra
