#include "ban_list.h"

#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/network_v4.hpp>
#include <boost/asio/ip/network_v6.hpp>

#include "client_address.h"
#include "name_filter.h"

namespace rivoltra::scores {
namespace {

namespace ip = boost::asio::ip;

// The pattern's network; a single address is a network of its full length.
bool Contains(std::string_view pattern, const ip::address& address) {
  boost::system::error_code error;
  std::string text(pattern);
  std::size_t slash = text.find('/');
  if (slash == std::string::npos) {
    ip::address single = ip::make_address(CanonicalAddress(text), error);
    return !error && single == address;
  }
  if (address.is_v4()) {
    ip::network_v4 network = ip::make_network_v4(text, error);
    if (error) return false;
    return ip::make_network_v4(address.to_v4(), network.prefix_length()).canonical() ==
           network.canonical();
  }
  ip::network_v6 network = ip::make_network_v6(text, error);
  if (error) return false;
  return ip::make_network_v6(address.to_v6(), network.prefix_length()).canonical() ==
         network.canonical();
}

}  // namespace

BanList::BanList(const std::vector<Ban>& bans) {
  for (const Ban& ban : bans) {
    (ban.Kind == BanKind::Name ? names_ : addresses_).push_back(ban.Pattern);
  }
}

bool BanList::NameBanned(std::string_view name) const {
  for (const auto& pattern : names_) {
    if (NamePatternMatches(pattern, name)) return true;
  }
  return false;
}

bool BanList::AddressBanned(std::string_view address) const {
  for (const auto& pattern : addresses_) {
    if (AddressInPattern(address, pattern)) return true;
  }
  return false;
}

bool ValidAddressPattern(std::string_view pattern) {
  boost::system::error_code error;
  std::string text(pattern);
  std::size_t slash = text.find('/');
  if (slash == std::string::npos) return !CanonicalAddress(text).empty();
  if (text.find(':') == std::string::npos) {
    ip::make_network_v4(text, error);
  } else {
    ip::make_network_v6(text, error);
  }
  return !error;
}

bool AddressInPattern(std::string_view address, std::string_view pattern) {
  boost::system::error_code error;
  ip::address parsed = ip::make_address(CanonicalAddress(address), error);
  if (error) return false;
  return Contains(pattern, parsed);
}

}  // namespace rivoltra::scores
