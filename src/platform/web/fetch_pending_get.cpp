#include "platform/web/fetch_pending_get.h"

#include <emscripten.h>

#include <optional>
#include <string>

#include "platform/web/fetch_http_transport.h"

namespace rivoltra {

namespace {

// The replies live in the page until the game forgets them: undefined while the request runs,
// null when it failed (no connection, an error status, a body too large, the time limit), the
// bytes otherwise.
// clang-format off
EM_JS(int, rivoltra_start_get, (const char* address, int timeoutMs, int maxBytes), {
  const gets = Module['rivoltraGets'] || (Module['rivoltraGets'] = {next: 1, replies: {}});
  const id = gets.next++;
  gets.replies[id] = undefined;
  const controller = new AbortController();
  const timer = setTimeout(() => controller.abort(), timeoutMs);
  const settle = (value) => { if (id in gets.replies) gets.replies[id] = value; };
  fetch(UTF8ToString(address), {signal: controller.signal, cache: 'no-store',
                                credentials: 'same-origin', redirect: 'error'})
    .then((response) => response.ok ? response.arrayBuffer() : null)
    .then((body) => settle(body && body.byteLength <= maxBytes ? new Uint8Array(body) : null))
    .catch(() => settle(null))
    .finally(() => clearTimeout(timer));
  return id;
});

// -1 while the request runs, -2 when it failed, else the reply's length.
EM_JS(int, rivoltra_get_state, (int id), {
  const reply = Module['rivoltraGets'].replies[id];
  if (reply === undefined) return -1;
  if (reply === null) return -2;
  return reply.length;
});

EM_JS(void, rivoltra_get_copy, (int id, char* into), {
  HEAPU8.set(Module['rivoltraGets'].replies[id], into);
});

EM_JS(void, rivoltra_get_forget, (int id), {
  delete Module['rivoltraGets'].replies[id];
});
// clang-format on

class FetchPendingGet final : public PendingHttpGet {
 public:
  explicit FetchPendingGet(int id) : id_(id) {}
  ~FetchPendingGet() override { rivoltra_get_forget(id_); }
  FetchPendingGet(const FetchPendingGet&) = delete;
  FetchPendingGet& operator=(const FetchPendingGet&) = delete;

  bool Done() override { return rivoltra_get_state(id_) != -1; }
  std::optional<std::string> Reply() override {
    const int state = rivoltra_get_state(id_);
    if (state < 0) return std::nullopt;
    std::string reply(static_cast<std::size_t>(state), '\0');
    if (state > 0) rivoltra_get_copy(id_, reply.data());
    return reply;
  }

 private:
  int id_;
};

}  // namespace

std::unique_ptr<PendingHttpGet> StartFetchGet(const std::string& address,
                                              const HttpLimits& limits) {
  const int id =
      rivoltra_start_get(address.c_str(), static_cast<int>(limits.RequestTimeout.count()),
                         static_cast<int>(FetchHttpTransport::kMaxReplyBytes));
  return std::make_unique<FetchPendingGet>(id);
}

}  // namespace rivoltra
