#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/race_ticket.h"
#include "formats/replay_file.h"

namespace rivoltra::scores {

// Shorter secrets are refused: the signature is only as strong as the secret behind it.
inline constexpr std::size_t kMinTicketSecretBytes = 16;
inline constexpr std::size_t kTicketSecretBytes = 32;

// Makes and checks ticket signatures (HMAC-SHA256) with one secret; every server process of a
// table must hold the same one, so a ticket issued by one is honoured by the others.
class TicketSigner {
 public:
  // Throws std::invalid_argument for a secret shorter than kMinTicketSecretBytes.
  explicit TicketSigner(std::string secret);

  // A fresh signed ticket issued at `now`: a random seed for a race ticket, the day's seed for
  // a daily one.
  RaceTicket Issue(TicketKind kind, std::int64_t now, std::uint32_t day) const;
  bool SignatureHolds(const RaceTicket& ticket) const;

 private:
  std::array<std::uint8_t, kTicketSignatureBytes> Sign(const RaceTicket& ticket) const;
  std::string secret_;
};

// kTicketSecretBytes from the system's random source.
std::string FreshTicketSecret();
// The secret file an operator names: its bytes with one trailing line end taken off. Throws
// std::runtime_error naming the file when it cannot be read or is too short.
std::string ReadTicketSecretFile(const std::string& path);

// How long a ticket is good for, and how much the time check forgives.
struct TicketRules {
  // The longest race (two hours of ticks) and an hour for the menus, the name entry and the
  // upload. A daily run started before midnight may be sent until its ticket expires.
  std::chrono::seconds Lifetime{3 * 60 * 60};
  // Forgives the whole seconds of the issue time and clocks of server processes that differ
  // a little.
  std::chrono::seconds Slack{5};
  std::chrono::milliseconds TickInterval{30};
  // A daily run started before midnight (UTC) may be sent until this long after it.
  std::chrono::seconds DailyGrace{3 * 60 * 60};
};

// Why the replay's ticket does not let its entry be verified at `now` (seconds since 1970), or
// nullopt when it does. Checks the ticket alone; whether it was spent is the storage's to say.
std::optional<std::string> RefuseTicket(const Replay& replay, const TicketSigner& signer,
                                        std::int64_t now, const TicketRules& rules);

// When the ticket stops being honoured, seconds since 1970; the spent-ticket list keeps it till
// then.
std::int64_t TicketExpiry(const RaceTicket& ticket, const TicketRules& rules);

// The SHA-256 of a run's seed, car and ticks, as hex: the same game sent again has the same one
// whatever its ticket, name or score.
std::string RunFingerprint(const Replay& replay);

}  // namespace rivoltra::scores
