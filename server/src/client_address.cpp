#include "client_address.h"

#include <boost/asio/ip/address.hpp>

namespace rivoltra::scores {

std::string CanonicalAddress(std::string_view text) {
  boost::system::error_code error;
  auto address = boost::asio::ip::make_address(std::string(text), error);
  if (error) return {};
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, address.to_v6())
        .to_string();
  }
  return address.to_string();
}

std::string ClientAddress(std::string_view peer, std::string_view trustedProxy,
                          const std::string* forwardedFor) {
  if (trustedProxy.empty() || peer != trustedProxy || forwardedFor == nullptr) {
    return std::string(peer);
  }
  std::string_view entries = *forwardedFor;
  std::size_t comma = entries.rfind(',');
  std::string_view last = comma == std::string_view::npos ? entries : entries.substr(comma + 1);
  while (!last.empty() && (last.front() == ' ' || last.front() == '\t')) last.remove_prefix(1);
  while (!last.empty() && (last.back() == ' ' || last.back() == '\t')) last.remove_suffix(1);
  std::string client = CanonicalAddress(last);
  return client.empty() ? std::string(peer) : client;
}

}  // namespace rivoltra::scores
