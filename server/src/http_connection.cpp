#include "http_connection.h"

#include <algorithm>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/status.hpp>
#include <cctype>
#include <chrono>
#include <utility>
#include <vector>

#include "client_address.h"

namespace rivoltra::scores {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
constexpr auto kLingerTime = std::chrono::milliseconds(1000);
constexpr std::size_t kSlowestReaderBytesPerSecond = std::size_t{32} * 1024;
constexpr std::string_view kUploadPath = "/cgi/replay.pl";

// Room for one whole request with a body up to bodyLimit; an upload widens it while it is read.
std::size_t RequestRoom(const HttpFrontEnd::Limits& limits, std::size_t bodyLimit) {
  return limits.MaxHeaderBytes + bodyLimit + 4096;
}

std::string Lower(beast::string_view text) {
  std::string lower(text.data(), text.size());
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string Text(beast::string_view text) { return std::string(text.data(), text.size()); }

beast::string_view Trimmed(beast::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

HttpConnection::HttpConnection(HttpFrontEnd::Impl& owner, asio::ip::tcp::socket socket,
                               std::string peer)
    : owner_(owner),
      stream_(std::move(socket)),
      // Room for one whole request; pipelined bytes beyond it wait in the kernel.
      buffer_(RequestRoom(owner.Limits, owner.Limits.MaxBodyBytes)),
      peer_(std::move(peer)) {}

HttpConnection::~HttpConnection() {
  ReleaseUploadPlace();
  owner_.Release(peer_);
}

bool HttpConnection::TakeUploadPlace(const std::string& client) {
  // The address's own share first: one address must not take every place.
  std::size_t& held = owner_.UploadsPerClient[client];
  if (held >= owner_.Limits.MaxUploadsPerClient && client != owner_.TrustedProxy) {
    if (held == 0) owner_.UploadsPerClient.erase(client);
    return false;
  }
  std::size_t reading = owner_.UploadsReading.load();
  do {
    if (reading >= owner_.Limits.MaxUploadsAtOnce) {
      if (held == 0) owner_.UploadsPerClient.erase(client);
      return false;
    }
  } while (!owner_.UploadsReading.compare_exchange_weak(reading, reading + 1));
  ++held;
  uploadClient_ = client;
  holdsUploadPlace_ = true;
  buffer_.max_size(RequestRoom(owner_.Limits, owner_.Limits.MaxUploadBytes));
  return true;
}

void HttpConnection::ReleaseUploadPlace() {
  if (!holdsUploadPlace_) return;
  holdsUploadPlace_ = false;
  --owner_.UploadsReading;
  auto found = owner_.UploadsPerClient.find(uploadClient_);
  if (found != owner_.UploadsPerClient.end() && --found->second == 0) {
    owner_.UploadsPerClient.erase(found);
  }
}

void HttpConnection::ReadHeader() {
  parser_.emplace();
  parser_->header_limit(static_cast<std::uint32_t>(owner_.Limits.MaxHeaderBytes));
  // The parser checks a declared length against this as the header ends, before the path is
  // known; OnHeader narrows it to the path's own cap.
  parser_->body_limit(std::max(owner_.Limits.MaxBodyBytes, owner_.Limits.MaxUploadBytes));
  loggedMethod_.clear();
  loggedTarget_.clear();
  loggedClient_ = peer_;
  stream_.expires_after(std::chrono::seconds(owner_.Limits.ReadTimeoutSeconds));
  http::async_read_header(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnHeader(error); });
}

void HttpConnection::OnHeader(beast::error_code error) {
  if (error) return OnReadFailure(error, false);
  headArrived_ = std::chrono::steady_clock::now();
  const auto& request = parser_->get();
  loggedMethod_ = Text(request.method_string());
  loggedTarget_ = Text(request.target());
  if (request.version() != 10 && request.version() != 11) {
    return Refuse(400, "unsupported HTTP version");
  }
  std::size_t fields = std::distance(request.begin(), request.end());
  if (fields > owner_.Limits.MaxHeaderCount) return Refuse(431, "too many header fields");
  // Only a final "chunked" tells where the body ends; any other coding would leave its bytes
  // to be read as the next request.
  bool chunked = false;
  if (request.count(http::field::transfer_encoding) != 0) {
    if (request.count(http::field::transfer_encoding) != 1 ||
        !beast::iequals(Trimmed(request[http::field::transfer_encoding]), "chunked")) {
      return Refuse(400, "unsupported transfer coding");
    }
    chunked = true;
  }
  std::size_t bodyLimit = owner_.Limits.MaxBodyBytes;
  beast::string_view target = request.target();
  bool upload = request.method() == http::verb::post &&
                target.substr(0, target.find('?')) ==
                    beast::string_view(kUploadPath.data(), kUploadPath.size());
  if (upload) bodyLimit = owner_.Limits.MaxUploadBytes;
  parser_->body_limit(bodyLimit);
  auto length = parser_->content_length();
  if (length && *length > bodyLimit) return Refuse(413, "body too large");
  if (parser_->is_done()) return Dispatch();
  if (upload) {
    // The per-address budget is counted from the declared length, so an upload must state it.
    if (chunked) return Refuse(411, "length required");
    std::string client = ClientOf(request);
    if (!TakeUploadPlace(client)) {
      ++owner_.RefusedUploadPlaces;
      return Refuse(503, "busy");
    }
    return Admit(std::move(client));
  }
  ContinueWithBody();
}

void HttpConnection::Admit(std::string client) {
  ServerRequest head = HeadOf(parser_->get());
  head.ClientAddress = std::move(client);
  asio::post(*owner_.Workers, [self = shared_from_this(), head = std::move(head)]() mutable {
    std::optional<ServerResponse> refusal = self->owner_.AdmitUpload(head);
    auto& io = self->owner_.Io;
    asio::post(io, [self = std::move(self), refusal = std::move(refusal)]() mutable {
      if (!refusal) return self->ContinueWithBody();
      // The body is never read: the reply ends the connection.
      self->parser_.reset();
      self->Reply(std::move(*refusal), false, false);
    });
  });
}

void HttpConnection::ContinueWithBody() {
  const auto& request = parser_->get();
  if (beast::iequals(request[http::field::expect], "100-continue")) {
    asio::async_write(stream_, asio::buffer(kContinue.data(), kContinue.size()),
                      [self = shared_from_this()](beast::error_code failed, std::size_t) {
                        if (failed) return;
                        self->ReadBody();
                      });
    return;
  }
  ReadBody();
}

void HttpConnection::ReadBody() {
  // The deadline set before the header still runs: it bounds the whole request.
  http::async_read(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnBody(error); });
}

void HttpConnection::OnBody(beast::error_code error) {
  if (error) return OnReadFailure(error, true);
  Dispatch();
}

void HttpConnection::OnReadFailure(beast::error_code error, bool inBody) {
  // A timed-out stream is already closed: a slow client, idle or dripping, is simply dropped.
  if (error == beast::error::timeout) return;
  if (error == http::error::end_of_stream || error == asio::error::eof ||
      error == asio::error::connection_reset || error == asio::error::operation_aborted) {
    return;
  }
  if (error == http::error::body_limit || (inBody && error == http::error::buffer_overflow)) {
    return Refuse(413, "body too large");
  }
  if (error == http::error::header_limit || error == http::error::buffer_overflow) {
    // The parser takes the request line first; without it, the line alone was over the limit,
    // a target too long, as the service says too.
    if (parser_->get().method_string().empty()) return Refuse(414, "request too long");
    return Refuse(431, "header too large");
  }
  if (error.category() == http::make_error_code(http::error::bad_target).category()) {
    return Refuse(400, "bad request");
  }
}

ServerRequest HttpConnection::HeadOf(const Parser::value_type& request) const {
  ServerRequest head;
  head.Method = loggedMethod_;
  head.Target = loggedTarget_;
  for (const auto& field : request) {
    head.Headers.emplace_back(Lower(field.name_string()), Text(field.value()));
  }
  head.ClientAddress = ClientAddress(peer_, owner_.TrustedProxy, head.Header("x-forwarded-for"));
  return head;
}

std::string HttpConnection::ClientOf(const Parser::value_type& request) const {
  auto forwarded = request.find("X-Forwarded-For");
  if (forwarded == request.end()) return ClientAddress(peer_, owner_.TrustedProxy, nullptr);
  std::string value = Text(forwarded->value());
  return ClientAddress(peer_, owner_.TrustedProxy, &value);
}

void HttpConnection::Dispatch() {
  if (headArrived_ == std::chrono::steady_clock::time_point{}) {
    headArrived_ = std::chrono::steady_clock::now();
  }
  auto& request = parser_->get();
  ServerRequest serverRequest = HeadOf(request);
  serverRequest.Body = std::move(request.body());
  serverRequest.Admitted = holdsUploadPlace_;
  loggedClient_ = serverRequest.ClientAddress;
  bool keepAlive = request.keep_alive();
  bool headOnly = request.method() == http::verb::head;
  asio::post(*owner_.Workers, [self = shared_from_this(), serverRequest = std::move(serverRequest),
                               keepAlive, headOnly]() mutable {
    ServerResponse answer = self->owner_.Answer(serverRequest);
    auto& io = self->owner_.Io;
    // The connection goes back whole to the listener's thread, so it always ends there.
    asio::post(io, [self = std::move(self), answer = std::move(answer), keepAlive,
                    headOnly]() mutable { self->Reply(std::move(answer), keepAlive, headOnly); });
  });
}

void HttpConnection::Reply(ServerResponse answer, bool keepAlive, bool headOnly) {
  if (holdsUploadPlace_) {
    ReleaseUploadPlace();
    // An upload grew the buffer far beyond what the next request needs.
    buffer_.shrink_to_fit();
    buffer_.max_size(
        std::max(buffer_.size(), RequestRoom(owner_.Limits, owner_.Limits.MaxBodyBytes)));
  }
  hold_ = std::move(answer.Hold);
  sharedBody_ = std::move(answer.SharedBody);
  ownBody_ = sharedBody_ ? std::string() : std::move(answer.Body);
  std::size_t bodySize = sharedBody_ ? sharedBody_->size() : ownBody_.size();
  std::vector<std::pair<std::string, std::string>> headers = std::move(answer.Headers);
  headers.emplace_back("Content-Type", answer.ContentType);
  headers.emplace_back("Content-Length", std::to_string(bodySize));
  if (!keepAlive) {
    headers.emplace_back("Connection", "close");
  } else {
    if (parser_ && parser_->get().version() == 10) headers.emplace_back("Connection", "keep-alive");
    headers.emplace_back("Keep-Alive",
                         "timeout=" + std::to_string(owner_.Limits.ReadTimeoutSeconds));
  }
  // Sorted by name, the order the listener has always sent them in.
  std::stable_sort(headers.begin(), headers.end(),
                   [](const auto& a, const auto& b) { return LessIgnoringCase(a.first, b.first); });
  auto reason = http::obsolete_reason(static_cast<http::status>(answer.Status));
  head_ = "HTTP/1.1 " + std::to_string(answer.Status) + " " + Text(reason) + "\r\n";
  for (const auto& [name, value] : headers) head_ += name + ": " + value + "\r\n";
  head_ += "\r\n";
  if (headOnly) {
    ownBody_.clear();
    sharedBody_.reset();
  }
  if (owner_.Log) {
    owner_.Log(AccessLogLine(loggedClient_, answer.Status, loggedMethod_, loggedTarget_));
  }
  const std::string& body = sharedBody_ ? *sharedBody_ : ownBody_;
  if (owner_.Observer) {
    auto now = std::chrono::steady_clock::now();
    HttpFrontEnd::Exchange exchange;
    exchange.Client = loggedClient_;
    exchange.Method = loggedMethod_;
    exchange.Target = loggedTarget_;
    exchange.Status = answer.Status;
    exchange.BodyBytes = body.size();
    exchange.Duration =
        headArrived_ == std::chrono::steady_clock::time_point{} ? now - now : now - headArrived_;
    owner_.Observer(exchange);
  }
  headArrived_ = {};
  std::array<asio::const_buffer, 2> buffers{asio::buffer(head_), asio::buffer(body)};
  // A large file gets time to match: the deadline allows a slow but steady reader 32 KiB/s.
  auto allowed = std::chrono::seconds(owner_.Limits.WriteTimeoutSeconds) +
                 std::chrono::seconds(body.size() / kSlowestReaderBytesPerSecond);
  stream_.expires_after(allowed);
  asio::async_write(stream_, buffers,
                    [self = shared_from_this(), keepAlive](beast::error_code error, std::size_t) {
                      self->OnWritten(error, keepAlive);
                    });
}

void HttpConnection::Refuse(int status, std::string_view reason) {
  ServerResponse answer;
  answer.Status = status;
  answer.Body = "ERROR|" + std::string(reason) + "\n";
  answer.Headers.emplace_back("Cache-Control", "no-store");
  answer.Headers.emplace_back("X-Content-Type-Options", "nosniff");
  parser_.reset();
  Reply(std::move(answer), false, false);
}

void HttpConnection::OnWritten(beast::error_code error, bool keepAlive) {
  hold_.reset();
  if (error) return;
  if (keepAlive) return ReadHeader();
  Linger();
}

void HttpConnection::Linger() {
  beast::error_code ignored;
  stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  stream_.expires_after(kLingerTime);
  Drain();
}

void HttpConnection::Drain() {
  stream_.async_read_some(asio::buffer(discard_),
                          [self = shared_from_this()](beast::error_code error, std::size_t) {
                            if (!error) self->Drain();
                          });
}

}  // namespace rivoltra::scores
