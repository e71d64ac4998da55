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
  Impl(Handler handler, Limits limits, Log log);

  void Accept();
  void Admit(boost::asio::ip::tcp::socket socket);
  // Called by a connection as it ends, on the listener's thread.
  void Release(const std::string& peer);
  ServerResponse Answer(const ServerRequest& request) const;
  std::optional<ServerResponse> AdmitUpload(const ServerRequest& head) const;

  Handler handler;
  Limits limits;
  Log log;
  Admission admission;
  Observer observer;
  std::string trustedProxy;
  // Declared before the I/O context: connections still queued in it are destroyed with it and
  // give back their counts on the way.
  std::unordered_map<std::string, std::size_t> connectionsPerPeer;
  std::atomic<std::size_t> openConnections{0};
  std::atomic<std::size_t> uploadsReading{0};
  std::atomic<std::size_t> refusedConnections{0};
  std::atomic<std::size_t> refusedUploadPlaces{0};
  // Upload places by client address; touched on the listener's thread only.
  std::unordered_map<std::string, std::size_t> uploadsPerClient;
  boost::asio::io_context io{1};
  boost::asio::ip::tcp::acceptor acceptor{io};
  boost::asio::steady_timer acceptPause{io};
  std::unique_ptr<boost::asio::thread_pool> workers;
};

}  // namespace rivoltra::scores
