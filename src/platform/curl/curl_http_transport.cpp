#include "platform/curl/curl_http_transport.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <optional>

#include "platform/desktop_http.h"

namespace rivoltra {
namespace {

struct ReplyBuffer {
  std::string Body;
  bool TooLarge = false;
};

size_t AppendReply(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<ReplyBuffer*>(user);
  size_t bytes = size * count;
  if (bytes > CurlHttpTransport::kMaxReplyBytes - reply->Body.size()) {
    reply->TooLarge = true;
    return 0;  // anything but `bytes` makes libcurl abort the transfer
  }
  reply->Body.append(data, bytes);
  return bytes;
}

// libcurl and the libraries it pulls in (TLS, HTTP/2, LDAP, SSH, Kerberos...) are loaded when
// the first request is made instead of with the program: linked in, loading them was a good part
// of every start-up, and most sessions never reach the score server.
struct CurlLibrary {
  CURLcode (*GlobalInit)(long flags);
  CURL* (*EasyInit)();
  void (*EasyCleanup)(CURL* handle);
  CURLcode (*EasySetopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*EasyPerform)(CURL* handle);
  CURLcode (*EasyGetinfo)(CURL* handle, CURLINFO info, ...);
  curl_slist* (*SlistAppend)(curl_slist* list, const char* text);
  void (*SlistFreeAll)(curl_slist* list);
};

template <typename Function>
bool FindSymbol(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

std::optional<CurlLibrary> OpenCurlLibrary() {
  // The library is never closed: curl_global_cleanup would be needed first, at a time when
  // another thread might still be in a request.
  void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  CurlLibrary curl{};
  const bool complete = FindSymbol(library, "curl_global_init", curl.GlobalInit) &&
                        FindSymbol(library, "curl_easy_init", curl.EasyInit) &&
                        FindSymbol(library, "curl_easy_cleanup", curl.EasyCleanup) &&
                        FindSymbol(library, "curl_easy_setopt", curl.EasySetopt) &&
                        FindSymbol(library, "curl_easy_perform", curl.EasyPerform) &&
                        FindSymbol(library, "curl_easy_getinfo", curl.EasyGetinfo) &&
                        FindSymbol(library, "curl_slist_append", curl.SlistAppend) &&
                        FindSymbol(library, "curl_slist_free_all", curl.SlistFreeAll);
  // curl_global_init is not safe to race with other threads, so it runs here, once, before the
  // first handle exists.
  if (!complete || curl.GlobalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return std::nullopt;
  return curl;
}

// Null when libcurl is missing or unusable: every request then fails as an unreachable server
// does, and the game goes on without the network.
const CurlLibrary* Curl() {
  static const std::optional<CurlLibrary> kLibrary = OpenCurlLibrary();
  return kLibrary ? &*kLibrary : nullptr;
}

}  // namespace

CurlHttpTransport::CurlHttpTransport(std::chrono::milliseconds connectTimeout,
                                     std::chrono::milliseconds requestTimeout)
    : connectTimeout_(connectTimeout), requestTimeout_(requestTimeout) {
  if (const CurlLibrary* curl = Curl()) handle_ = curl->EasyInit();
}

CurlHttpTransport::~CurlHttpTransport() {
  if (handle_ != nullptr) Curl()->EasyCleanup(static_cast<CURL*>(handle_));
}

std::optional<std::string> CurlHttpTransport::Get(const std::string& address) {
  return Perform(address, nullptr, "text/html");
}

std::optional<std::string> CurlHttpTransport::Post(const std::string& address,
                                                   const std::string& body,
                                                   const std::string& contentType) {
  return Perform(address, &body, contentType);
}

std::optional<std::string> CurlHttpTransport::Perform(const std::string& address,
                                                      const std::string* postBody,
                                                      const std::string& contentType) {
  auto* handle = static_cast<CURL*>(handle_);
  if (handle == nullptr) return std::nullopt;
  const CurlLibrary& curl = *Curl();

  ReplyBuffer reply;
  curl_slist* headers = nullptr;
  headers = curl.SlistAppend(headers, "Accept: text/html, */*");
  headers = curl.SlistAppend(headers, ("Content-Type: " + contentType).c_str());
  // The body goes at once instead of after a wait for "100 Continue".
  if (postBody != nullptr) headers = curl.SlistAppend(headers, "Expect:");

  bool method = postBody == nullptr
                    ? curl.EasySetopt(handle, CURLOPT_HTTPGET, 1L) == CURLE_OK
                    : curl.EasySetopt(handle, CURLOPT_POST, 1L) == CURLE_OK &&
                          curl.EasySetopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                                          static_cast<curl_off_t>(postBody->size())) == CURLE_OK &&
                          curl.EasySetopt(handle, CURLOPT_POSTFIELDS, postBody->data()) == CURLE_OK;
  // Options that must not carry over from the previous request are set again every time.
  bool configured =
      curl.EasySetopt(handle, CURLOPT_URL, address.c_str()) == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK && method &&
      curl.EasySetopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) ==
          CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)") ==
          CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_COOKIEFILE, "") == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_PROXY, "") == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                      static_cast<long>(connectTimeout_.count())) == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(requestTimeout_.count())) ==
          CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_WRITEFUNCTION, &AppendReply) == CURLE_OK &&
      curl.EasySetopt(handle, CURLOPT_WRITEDATA, &reply) == CURLE_OK;

  CURLcode result = configured ? curl.EasyPerform(handle) : CURLE_FAILED_INIT;
  long status = 0;
  if (result == CURLE_OK) curl.EasyGetinfo(handle, CURLINFO_RESPONSE_CODE, &status);

  // The handle outlives this call; it must not point at the local list, buffer and body.
  curl.EasySetopt(handle, CURLOPT_HTTPHEADER, nullptr);
  curl.EasySetopt(handle, CURLOPT_WRITEDATA, nullptr);
  if (postBody != nullptr) {
    curl.EasySetopt(handle, CURLOPT_POSTFIELDS, nullptr);
    curl.EasySetopt(handle, CURLOPT_HTTPGET, 1L);
  }
  curl.SlistFreeAll(headers);

  if (result != CURLE_OK || reply.TooLarge || status < 200 || status > 299) return std::nullopt;
  return std::move(reply.Body);
}

std::unique_ptr<HttpTransport> OpenDesktopHttp(const HttpLimits& limits) {
  return std::make_unique<CurlHttpTransport>(limits.ConnectTimeout, limits.RequestTimeout);
}

}  // namespace rivoltra
