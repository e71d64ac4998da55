#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "moderation.h"

namespace rivoltra::scores {

// The bans in force, read for one request: names by pattern, addresses by address or range.
class BanList {
 public:
  BanList() = default;
  explicit BanList(const std::vector<Ban>& bans);

  bool NameBanned(std::string_view name) const;
  bool AddressBanned(std::string_view address) const;
  bool Empty() const { return names_.empty() && addresses_.empty(); }

 private:
  std::vector<std::string> names_;
  std::vector<std::string> addresses_;
};

// Whether `pattern` names a usable address or range ("203.0.113.7", "203.0.113.0/24",
// "2001:db8::/32"); the admin command refuses others.
bool ValidAddressPattern(std::string_view pattern);
bool AddressInPattern(std::string_view address, std::string_view pattern);

}  // namespace rivoltra::scores
