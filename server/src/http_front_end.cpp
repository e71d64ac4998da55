#include "http_front_end.h"

#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <stdexcept>

#include "client_address.h"
#include "http_connection.h"
#include "http_front_end_impl.h"

namespace rivoltra::scores {
namespace {

namespace asio = boost::asio;
using Tcp = asio::ip::tcp;

constexpr std::size_t kLoggedTargetLength = 160;
constexpr auto kAcceptPause = std::chrono::milliseconds(50);
constexpr std::string_view kBusyReply =
    "HTTP/1.1 503 Service Unavailable\r\nCache-Control: no-store\r\nConnection: close\r\n"
    "Content-Length: 23\r\nContent-Type: text/plain; charset=utf-8\r\n"
    "X-Content-Type-Options: nosniff\r\n\r\nERROR|too many clients\n";

std::string Printable(std::string_view text, std::size_t limit) {
  std::string shown;
  for (char c : text.substr(0, limit)) {
    auto code = static_cast<unsigned char>(c);
    shown += (code >= 0x20 && code < 0x7F) ? c : '?';
  }
  if (text.size() > limit) shown += "...";
  return shown;
}

asio::ip::address ResolveHost(const std::string& host) {
  boost::system::error_code error;
  auto address = asio::ip::make_address(host, error);
  if (!error) return address;
  asio::io_context io;
  Tcp::resolver resolver(io);
  auto found = resolver.resolve(host, "", error);
  if (error || found.empty()) throw std::runtime_error("cannot resolve " + host);
  return found.begin()->endpoint().address();
}

}  // namespace

std::string AccessLogLine(std::string_view client, int status, std::string_view method,
                          std::string_view target) {
  return Printable(client, 64) + " " + std::to_string(status) + " " + Printable(method, 16) + " " +
         Printable(target, kLoggedTargetLength);
}

HttpFrontEnd::Impl::Impl(HttpFrontEnd::Handler answer, HttpFrontEnd::Limits chosen,
                         HttpFrontEnd::Log logLine)
    : Handler(std::move(answer)), Limits(chosen), Log(std::move(logLine)) {
  if (Limits.WorkerThreads == 0) Limits.WorkerThreads = 1;
  if (Limits.MaxConnections == 0) Limits.MaxConnections = 1;
  if (Limits.MaxConnectionsPerClient == 0) Limits.MaxConnectionsPerClient = 1;
  if (Limits.ListenBacklog <= 0) Limits.ListenBacklog = 1;
  Workers = std::make_unique<asio::thread_pool>(Limits.WorkerThreads);
}

namespace {

ServiceTime TimeNow() {
  auto unixSeconds = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  return {std::chrono::steady_clock::now(), static_cast<std::int64_t>(unixSeconds)};
}

ServerResponse InternalError() {
  ServerResponse failed;
  failed.Status = 500;
  failed.Body = "ERROR|internal error\n";
  failed.Headers.emplace_back("Cache-Control", "no-store");
  failed.Headers.emplace_back("X-Content-Type-Options", "nosniff");
  return failed;
}

}  // namespace

std::optional<ServerResponse> HttpFrontEnd::Impl::AdmitUpload(const ServerRequest& head) const {
  if (!Admission) return std::nullopt;
  try {
    return Admission(head, TimeNow());
  } catch (const std::exception&) {
    return InternalError();
  }
}

ServerResponse HttpFrontEnd::Impl::Answer(const ServerRequest& request) const {
  try {
    return Handler(request, TimeNow());
  } catch (const std::exception&) {
    // An exception escaping a worker thread would end the process; one request fails instead.
    return InternalError();
  }
}

void HttpFrontEnd::Impl::Accept() {
  Acceptor.async_accept([this](boost::system::error_code error, Tcp::socket socket) {
    if (error == asio::error::operation_aborted || !Acceptor.is_open()) return;
    if (error) {
      // Out of descriptors or a connection reset before it was taken: try again shortly
      // rather than spin.
      AcceptPause.expires_after(kAcceptPause);
      AcceptPause.async_wait([this](boost::system::error_code waited) {
        if (!waited) Accept();
      });
      return;
    }
    Admit(std::move(socket));
    Accept();
  });
}

void HttpFrontEnd::Impl::Admit(Tcp::socket socket) {
  boost::system::error_code error;
  auto remote = socket.remote_endpoint(error);
  if (error) return;
  socket.set_option(Tcp::no_delay(true), error);
  std::string peer = CanonicalAddress(remote.address().to_string());
  std::size_t& fromPeer = ConnectionsPerPeer[peer];
  // A trusted proxy carries every player, so only the overall limit applies to it.
  bool peerFull = fromPeer >= Limits.MaxConnectionsPerClient && peer != TrustedProxy;
  if (OpenConnections >= Limits.MaxConnections || peerFull) {
    if (fromPeer == 0) ConnectionsPerPeer.erase(peer);
    ++RefusedConnections;
    // A fresh socket's send buffer is empty, so this short write cannot block.
    asio::write(socket, asio::buffer(kBusyReply.data(), kBusyReply.size()), error);
    socket.shutdown(Tcp::socket::shutdown_both, error);
    return;
  }
  ++fromPeer;
  ++OpenConnections;
  std::make_shared<HttpConnection>(*this, std::move(socket), std::move(peer))->Start();
}

void HttpFrontEnd::Impl::Release(const std::string& peer) {
  --OpenConnections;
  auto found = ConnectionsPerPeer.find(peer);
  if (found != ConnectionsPerPeer.end() && --found->second == 0) ConnectionsPerPeer.erase(found);
}

HttpFrontEnd::HttpFrontEnd(ScoreService& service, Limits limits, Log log)
    : HttpFrontEnd([&service](const ServerRequest& request,
                              const ServiceTime& time) { return service.Handle(request, time); },
                   limits, std::move(log)) {}

HttpFrontEnd::HttpFrontEnd(Handler handler, Limits limits, Log log)
    : impl_(std::make_unique<Impl>(std::move(handler), limits, std::move(log))) {}

HttpFrontEnd::~HttpFrontEnd() {
  Stop();
  impl_->Workers->join();
}

void HttpFrontEnd::TrustProxy(std::string address) {
  std::string canonical = CanonicalAddress(address);
  impl_->TrustedProxy = canonical.empty() ? address : canonical;
}

void HttpFrontEnd::AdmitUploadsWith(Admission admission) {
  impl_->Admission = std::move(admission);
}

void HttpFrontEnd::Observe(Observer observer) { impl_->Observer = std::move(observer); }

int HttpFrontEnd::Bind(const std::string& host, int port) {
  try {
    Tcp::endpoint endpoint(ResolveHost(host), static_cast<unsigned short>(port));
    auto& acceptor = impl_->Acceptor;
    acceptor.open(endpoint.protocol());
    acceptor.set_option(Tcp::acceptor::reuse_address(true));
    acceptor.bind(endpoint);
    acceptor.listen(impl_->Limits.ListenBacklog);
    return acceptor.local_endpoint().port();
  } catch (const std::exception&) {
    boost::system::error_code ignored;
    impl_->Acceptor.close(ignored);
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
  }
}

bool HttpFrontEnd::Run() {
  if (!impl_->Acceptor.is_open()) return false;
  impl_->Accept();
  impl_->Io.run();
  // Requests already with the service finish; queued ones are dropped with their connections.
  impl_->Workers->stop();
  impl_->Workers->join();
  return true;
}

void HttpFrontEnd::Stop() {
  // A stop before Run starts leaves the context stopped, so Run then returns at once.
  impl_->Io.stop();
}

std::size_t HttpFrontEnd::OpenConnections() const { return impl_->OpenConnections; }

std::size_t HttpFrontEnd::RefusedConnections() const { return impl_->RefusedConnections; }

std::size_t HttpFrontEnd::RefusedUploadPlaces() const { return impl_->RefusedUploadPlaces; }

}  // namespace rivoltra::scores
