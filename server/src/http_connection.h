#pragma once

#include <array>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "http_front_end_impl.h"

namespace rivoltra::scores {

// One client connection: reads a request within the whole-request deadline and the size
// limits, has the service answer it on a worker thread, writes the reply and reads the next.
// Pipelined requests wait in the read buffer and are answered in order. Every refusal the
// listener makes closes the connection after its reply.
class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  HttpConnection(HttpFrontEnd::Impl& owner, boost::asio::ip::tcp::socket socket, std::string peer);
  ~HttpConnection();

  void Start() { ReadHeader(); }

 private:
  using Parser = boost::beast::http::request_parser<boost::beast::http::string_body>;

  void ReadHeader();
  void OnHeader(boost::beast::error_code error);
  void ReadBody();
  void OnBody(boost::beast::error_code error);
  void OnReadFailure(boost::beast::error_code error, bool inBody);
  void Dispatch();
  void Reply(ServerResponse answer, bool keepAlive, bool headOnly);
  void Refuse(int status, std::string_view reason);
  void OnWritten(boost::beast::error_code error, bool keepAlive);
  // Half-closes and drains what the client still sends for a moment, so the reply is not
  // lost to a reset caused by unread pipelined bytes.
  void Linger();
  void Drain();
  bool TakeUploadPlace(const std::string& client);
  void ReleaseUploadPlace();
  // Has the service judge an upload's head on a worker thread, then reads its body or refuses.
  void Admit(std::string client);
  void ContinueWithBody();
  ServerRequest HeadOf(const Parser::value_type& request) const;
  std::string ClientOf(const Parser::value_type& request) const;

  HttpFrontEnd::Impl& owner_;
  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  std::optional<Parser> parser_;
  std::string head_;  // status line and header fields of the reply being written
  std::string ownBody_;
  std::shared_ptr<const std::string> sharedBody_;
  std::string peer_;
  std::string loggedMethod_;
  std::string loggedTarget_;
  std::string loggedClient_;
  bool holdsUploadPlace_ = false;
  std::string uploadClient_;
  std::shared_ptr<const void> hold_;
  std::chrono::steady_clock::time_point headArrived_{};
  std::array<char, 2048> discard_{};
};

}  // namespace rivoltra::scores
