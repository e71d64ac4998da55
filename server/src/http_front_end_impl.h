#pragma once

// The listener's shared state, seen by the front end and its connections only.
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <memory>
#include <string>
#include <unordered_map>

#include "http_front_end.h"

namespace rivoltra::scores {

struct HttpFrontEnd::Impl {
  Impl(HttpFrontEnd::Handler handler, HttpFrontEnd::Limits limits, HttpFrontEnd::Log log);

  void Accept();
  void Admit(boost::asio::ip::tcp::socket socket);
  // Called by a connection as it ends, on the listener's thread.
  void Release(const std::string& peer);
  ServerResponse Answer(const ServerRequest& request) const;
  std::optional<ServerResponse> AdmitUpload(const ServerRequest& head) const;

  HttpFrontEnd::Handler Handler;
  HttpFrontEnd::Limits Limits;
  HttpFrontEnd::Log Log;
  HttpFrontEnd::Admission Admission;
  HttpFrontEnd::Observer Observer;
  std::string TrustedProxy;
  // Declared before the I/O context: connections still queued in it are destroyed with it and
  // give back their counts on the way.
  std::unordered_map<std::string, std::size_t> ConnectionsPerPeer;
  std::atomic<std::size_t> OpenConnections{0};
  std::atomic<std::size_t> UploadsReading{0};
  std::atomic<std::size_t> RefusedConnections{0};
  std::atomic<std::size_t> RefusedUploadPlaces{0};
  // Upload places by client address; touched on the listener's thread only.
  std::unordered_map<std::string, std::size_t> UploadsPerClient;
  boost::asio::io_context Io{1};
  boost::asio::ip::tcp::acceptor Acceptor{Io};
  boost::asio::steady_timer AcceptPause{Io};
  std::unique_ptr<boost::asio::thread_pool> Workers;
};

}  // namespace rivoltra::scores
