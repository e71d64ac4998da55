#pragma once

#include <string>
#include <string_view>

namespace rivoltra::scores {

// The address a request counts for. Behind a reverse proxy every request comes from the proxy,
// so the client is the last entry of X-Forwarded-For, the one the proxy itself appended; any
// earlier entries come from the client and prove nothing. Only a peer equal to trustedProxy
// is believed, and only an entry that parses as an IP address; otherwise the peer counts.
std::string ClientAddress(std::string_view peer, std::string_view trustedProxy,
                          const std::string* forwardedFor);

// The address in its usual text form, IPv4 for an IPv4-mapped IPv6 address; empty when the
// text is not an address.
std::string CanonicalAddress(std::string_view text);

}  // namespace rivoltra::scores
