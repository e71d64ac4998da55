#include "platform/curl/curl_http_transport.h"

#include <curl/curl.h>

#include "platform/desktop_http.h"

namespace rivoltra {
namespace {

struct ReplyBuffer {
  std::string body;
  bool tooLarge = false;
};

size_t AppendReply(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<ReplyBuffer*>(user);
  size_t bytes = size * count;
  if (bytes > CurlHttpTransport::kMaxReplyBytes - reply->body.size()) {
    reply->tooLarge = true;
    return 0;  // anything but `bytes` makes libcurl abort the transfer
  }
  reply->body.append(data, bytes);
  return bytes;
}

// curl_global_init is not safe to race with other threads, so it runs once, before the first
// handle exists.
void InitialiseCurlOnce() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)initialised;
}

}  // namespace

CurlHttpTransport::CurlHttpTransport(std::chrono::milliseconds connectTimeout,
                                     std::chrono::milliseconds requestTimeout)
    : connectTimeout_(connectTimeout), requestTimeout_(requestTimeout) {
  InitialiseCurlOnce();
  handle_ = curl_easy_init();
}

CurlHttpTransport::~CurlHttpTransport() {
  if (handle_ != nullptr) curl_easy_cleanup(static_cast<CURL*>(handle_));
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
  auto* curl = static_cast<CURL*>(handle_);
  if (curl == nullptr) return std::nullopt;

  ReplyBuffer reply;
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Accept: text/html, */*");
  headers = curl_slist_append(headers, ("Content-Type: " + contentType).c_str());
  // The body goes at once instead of after a wait for "100 Continue".
  if (postBody != nullptr) headers = curl_slist_append(headers, "Expect:");

  bool method = postBody == nullptr
                    ? curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L) == CURLE_OK
                    : curl_easy_setopt(curl, CURLOPT_POST, 1L) == CURLE_OK &&
                          curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                                           static_cast<curl_off_t>(postBody->size())) == CURLE_OK &&
                          curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->data()) == CURLE_OK;
  // Options that must not carry over from the previous request are set again every time.
  bool configured =
      curl_easy_setopt(curl, CURLOPT_URL, address.c_str()) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK && method &&
      curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) ==
          CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)") ==
          CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "") == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_PROXY, "") == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(connectTimeout_.count())) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(requestTimeout_.count())) ==
          CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendReply) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply) == CURLE_OK;

  CURLcode result = configured ? curl_easy_perform(curl) : CURLE_FAILED_INIT;
  long status = 0;
  if (result == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);

  // The handle outlives this call; it must not point at the local list, buffer and body.
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
  if (postBody != nullptr) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }
  curl_slist_free_all(headers);

  if (result != CURLE_OK || reply.tooLarge || status < 200 || status > 299) return std::nullopt;
  return std::move(reply.body);
}

std::unique_ptr<HttpTransport> OpenDesktopHttp(const HttpLimits& limits) {
  return std::make_unique<CurlHttpTransport>(limits.connectTimeout, limits.requestTimeout);
}

}  // namespace rivoltra
