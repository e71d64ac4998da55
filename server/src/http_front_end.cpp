#include "http_front_end.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace rivoltra::scores {
namespace {

constexpr std::size_t kLoggedTargetLength = 160;

std::string Printable(std::string_view text, std::size_t limit) {
  std::string shown;
  for (char c : text.substr(0, limit)) {
    auto code = static_cast<unsigned char>(c);
    shown += (code >= 0x20 && code < 0x7F) ? c : '?';
  }
  if (text.size() > limit) shown += "...";
  return shown;
}

}  // namespace

std::string AccessLogLine(std::string_view client, int status, std::string_view method,
                          std::string_view target) {
  return Printable(client, 64) + " " + std::to_string(status) + " " + Printable(method, 16) +
         " " + Printable(target, kLoggedTargetLength);
}

HttpFrontEnd::HttpFrontEnd(ScoreService& service, Limits limits, Log log)
    : service_(service), server_(std::make_unique<httplib::Server>()) {
  std::size_t workers = limits.workerThreads == 0 ? 1 : limits.workerThreads;
  server_->new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
  server_->set_read_timeout(limits.readTimeoutSeconds, 0);
  server_->set_write_timeout(limits.writeTimeoutSeconds, 0);
  server_->set_keep_alive_timeout(limits.readTimeoutSeconds);
  server_->set_payload_max_length(limits.maxBodyBytes);
  // Every request, whatever its method or path, is answered by the service itself.
  server_->set_pre_routing_handler([this](const httplib::Request& request,
                                          httplib::Response& response) {
    auto now = std::chrono::steady_clock::now();
    auto unixSeconds = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    ServerResponse answer = service_.Handle({request.method, request.target, request.remote_addr},
                                            {now, static_cast<std::int64_t>(unixSeconds)});
    response.status = answer.Status;
    for (auto& [name, value] : answer.Headers) response.set_header(name, value);
    response.set_content(std::move(answer.Body), answer.ContentType.c_str());
    return httplib::Server::HandlerResponse::Handled;
  });
  if (log) {
    server_->set_logger([log](const httplib::Request& request, const httplib::Response& response) {
      log(AccessLogLine(request.remote_addr, response.status, request.method, request.target));
    });
  }
}

HttpFrontEnd::~HttpFrontEnd() = default;

int HttpFrontEnd::Bind(const std::string& host, int port) {
  if (port == 0) {
    int bound = server_->bind_to_any_port(host);
    if (bound > 0) return bound;
  } else if (server_->bind_to_port(host, port)) {
    return port;
  }
  throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
}

bool HttpFrontEnd::Run() {
  if (stopRequested_) return true;
  return server_->listen_after_bind();
}

void HttpFrontEnd::Stop() {
  stopRequested_ = true;
  // The listener only takes a stop once it runs; Run may be a moment away from starting it.
  for (int attempt = 0; attempt < 400; ++attempt) {
    if (server_->is_running()) {
      server_->stop();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace rivoltra::scores
