#include "platform/winhttp/winhttp_transport.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <winhttp.h>

#include <algorithm>
#include <memory>

#include "platform/desktop_http.h"

namespace rivoltra {

namespace {

struct HandleCloser {
  void operator()(void* handle) const { ::WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

// The parts of an address WinHTTP wants apart: host, port, path with query, and the scheme.
struct Address {
  std::wstring Host;
  INTERNET_PORT Port = 0;
  std::wstring PathAndQuery;
  bool Secure = false;
};

std::optional<Address> CrackAddress(const std::string& text) {
  const std::wstring wide = WideFromUtf8(text);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (::WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts) == FALSE) {
    return std::nullopt;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return std::nullopt;
  }
  Address address;
  address.Host.assign(parts.lpszHostName, parts.dwHostNameLength);
  address.Port = parts.nPort;
  address.PathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  address.PathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (address.PathAndQuery.empty()) address.PathAndQuery = L"/";
  address.Secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return address;
}

int Milliseconds(std::chrono::milliseconds duration) {
  return static_cast<int>(std::min<long long>(duration.count(), 0x7fffffff));
}

// Reads the whole body, or nullopt when it is larger than the limit or the connection fails.
std::optional<std::string> ReadBody(void* request) {
  std::string body;
  for (;;) {
    DWORD available = 0;
    if (::WinHttpQueryDataAvailable(request, &available) == FALSE) return std::nullopt;
    if (available == 0) return body;
    if (available > WinHttpTransport::kMaxReplyBytes - body.size()) return std::nullopt;
    const std::size_t start = body.size();
    body.resize(start + available);
    DWORD read = 0;
    if (::WinHttpReadData(request, body.data() + start, available, &read) == FALSE) {
      return std::nullopt;
    }
    body.resize(start + read);
  }
}

}  // namespace

WinHttpTransport::WinHttpTransport(std::chrono::milliseconds connectTimeout,
                                   std::chrono::milliseconds requestTimeout)
    : connectTimeout_(connectTimeout), requestTimeout_(requestTimeout) {
  const wchar_t* agent = L"Mozilla/3.0 (compatible; Indy Library)";
  // Windows' own proxy settings (8.1 and later); older systems and Wine fall back to the
  // settings WinHTTP keeps itself.
  session_ = ::WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0);
  if (session_ == nullptr) {
    session_ = ::WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
  }
  if (session_ != nullptr) {
    const int connect = Milliseconds(connectTimeout_);
    const int request = Milliseconds(requestTimeout_);
    ::WinHttpSetTimeouts(session_, connect, connect, request, request);
  }
}

WinHttpTransport::~WinHttpTransport() {
  if (session_ != nullptr) ::WinHttpCloseHandle(session_);
}

std::optional<std::string> WinHttpTransport::Get(const std::string& address) {
  return Perform(address, nullptr, "text/html");
}

std::optional<std::string> WinHttpTransport::Post(const std::string& address,
                                                  const std::string& body,
                                                  const std::string& contentType) {
  return Perform(address, &body, contentType);
}

std::optional<std::string> WinHttpTransport::Perform(const std::string& address,
                                                     const std::string* postBody,
                                                     const std::string& contentType) {
  if (session_ == nullptr) return std::nullopt;
  const std::optional<Address> target = CrackAddress(address);
  if (!target) return std::nullopt;
  const Handle connection(::WinHttpConnect(session_, target->Host.c_str(), target->Port, 0));
  if (!connection) return std::nullopt;
  const Handle request(
      ::WinHttpOpenRequest(connection.get(), postBody != nullptr ? L"POST" : L"GET",
                           target->PathAndQuery.c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES, target->Secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return std::nullopt;
  DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
  ::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects,
                     sizeof noRedirects);

  const std::wstring headers =
      L"Accept: text/html, */*\r\nContent-Type: " + WideFromUtf8(contentType) + L"\r\n";
  const DWORD bodySize = postBody != nullptr ? static_cast<DWORD>(postBody->size()) : 0;
  void* bodyData = postBody != nullptr ? const_cast<char*>(postBody->data()) : nullptr;
  if (::WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(-1L), bodyData,
                           bodySize, bodySize, 0) == FALSE ||
      ::WinHttpReceiveResponse(request.get(), nullptr) == FALSE) {
    return std::nullopt;
  }
  DWORD status = 0;
  DWORD statusSize = sizeof status;
  if (::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                            WINHTTP_NO_HEADER_INDEX) == FALSE ||
      status < 200 || status > 299) {
    return std::nullopt;
  }
  return ReadBody(request.get());
}

std::unique_ptr<HttpTransport> OpenDesktopHttp(const HttpLimits& limits) {
  return std::make_unique<WinHttpTransport>(limits.ConnectTimeout, limits.RequestTimeout);
}

}  // namespace rivoltra
