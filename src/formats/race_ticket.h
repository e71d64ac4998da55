#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rivoltra {

// A race ticket: the score server's promise that it handed out this seed at this time. The
// server signs every field but the signature with a secret of its own; the game only carries
// the ticket from the car choice into the replay and cannot make or change one.
//
// Bytes, little-endian, 57 in all:
//   kind u8 | issued at i64 (seconds since 1970, UTC) | seed u32 | day u32 | nonce u64 |
//   signature 32 bytes (HMAC-SHA256 of the 25 bytes before it)
enum class TicketKind : std::uint8_t {
  Race = 1,   // a random seed for one race of the player's choice
  Daily = 2,  // the day's course: the seed is DailySeed(day)
};

inline constexpr std::size_t kTicketSignedBytes = 25;
inline constexpr std::size_t kTicketSignatureBytes = 32;
inline constexpr std::size_t kTicketBytes = kTicketSignedBytes + kTicketSignatureBytes;

struct RaceTicket {
  TicketKind Kind = TicketKind::Race;
  std::int64_t IssuedAt = 0;
  std::uint32_t Seed = 0;
  // Days since 1970-01-01 (UTC) for a daily ticket; 0 for a race ticket.
  std::uint32_t Day = 0;
  // Random, so that no two tickets are alike even with the same seed, day and second.
  std::uint64_t Nonce = 0;
  std::array<std::uint8_t, kTicketSignatureBytes> Signature{};
  bool operator==(const RaceTicket&) const = default;
};

// The bytes the signature covers.
std::string TicketSignedBytes(const RaceTicket& ticket);
// All 57 bytes.
std::string TicketBytes(const RaceTicket& ticket);
// nullopt for another length or an unknown kind.
std::optional<RaceTicket> TicketOfBytes(std::string_view bytes);

// Lower-case hex of the 57 bytes, as the server's reply and the info tool carry it.
std::string TicketText(const RaceTicket& ticket);
std::optional<RaceTicket> TicketOfText(std::string_view text);

// The ticket's identity for the spent-ticket list: its nonce and issue time as hex.
std::string TicketId(const RaceTicket& ticket);

}  // namespace rivoltra
