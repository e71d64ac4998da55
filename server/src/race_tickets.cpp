#include "race_tickets.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "formats/daily_course.h"

namespace rivoltra::scores {

namespace {

template <typename Value>
Value RandomValue() {
  Value value{};
  if (RAND_bytes(reinterpret_cast<unsigned char*>(&value), sizeof value) != 1) {
    throw std::runtime_error("no random bytes for a ticket");
  }
  return value;
}

std::string Hex(const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

// The simulated time of the recorded ticks: each stands for LagCount frame intervals.
std::int64_t RaceMilliseconds(const Replay& replay, const TicketRules& rules) {
  std::int64_t intervals = 0;
  for (const ReplayRun& run : replay.Runs) {
    intervals += static_cast<std::int64_t>(run.Length) * run.Tick.LagCount;
  }
  return intervals * rules.TickInterval.count();
}

}  // namespace

TicketSigner::TicketSigner(std::string secret) : secret_(std::move(secret)) {
  if (secret_.size() < kMinTicketSecretBytes) {
    throw std::invalid_argument("ticket secret of " + std::to_string(secret_.size()) +
                                " bytes, fewer than " + std::to_string(kMinTicketSecretBytes));
  }
}

std::array<std::uint8_t, kTicketSignatureBytes> TicketSigner::Sign(const RaceTicket& ticket) const {
  const std::string message = TicketSignedBytes(ticket);
  std::array<std::uint8_t, kTicketSignatureBytes> signature{};
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), secret_.data(), static_cast<int>(secret_.size()),
           reinterpret_cast<const unsigned char*>(message.data()), message.size(), signature.data(),
           &length) == nullptr ||
      length != signature.size()) {
    throw std::runtime_error("cannot sign a ticket");
  }
  return signature;
}

RaceTicket TicketSigner::Issue(TicketKind kind, std::int64_t now, std::uint32_t day) const {
  RaceTicket ticket;
  ticket.Kind = kind;
  ticket.IssuedAt = now;
  ticket.Day = kind == TicketKind::Daily ? day : 0;
  ticket.Seed = kind == TicketKind::Daily ? DailyCourseOf(day).Seed : RandomValue<std::uint32_t>();
  ticket.Nonce = RandomValue<std::uint64_t>();
  ticket.Signature = Sign(ticket);
  return ticket;
}

bool TicketSigner::SignatureHolds(const RaceTicket& ticket) const {
  const auto expected = Sign(ticket);
  return CRYPTO_memcmp(expected.data(), ticket.Signature.data(), expected.size()) == 0;
}

std::string FreshTicketSecret() {
  std::string secret(kTicketSecretBytes, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(secret.data()),
                 static_cast<int>(secret.size())) != 1) {
    throw std::runtime_error("no random bytes for the ticket secret");
  }
  return secret;
}

std::string ReadTicketSecretFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path + ": cannot read the ticket secret");
  std::string secret;
  // A secret file is a line or a few bytes; anything much larger is the wrong file.
  constexpr std::size_t kMaxSecretFileBytes = 4096;
  secret.resize(kMaxSecretFileBytes + 1);
  file.read(secret.data(), static_cast<std::streamsize>(secret.size()));
  secret.resize(static_cast<std::size_t>(file.gcount()));
  if (secret.size() > kMaxSecretFileBytes) {
    throw std::runtime_error(path + ": ticket secret file above " +
                             std::to_string(kMaxSecretFileBytes) + " bytes");
  }
  if (!secret.empty() && secret.back() == '\n') secret.pop_back();
  if (!secret.empty() && secret.back() == '\r') secret.pop_back();
  if (secret.size() < kMinTicketSecretBytes) {
    throw std::runtime_error(path + ": ticket secret of " + std::to_string(secret.size()) +
                             " bytes, fewer than " + std::to_string(kMinTicketSecretBytes));
  }
  return secret;
}

std::int64_t TicketExpiry(const RaceTicket& ticket, const TicketRules& rules) {
  return ticket.IssuedAt + rules.Lifetime.count();
}

std::optional<std::string> RefuseTicket(const Replay& replay, const TicketSigner& signer,
                                        std::int64_t now, const TicketRules& rules) {
  if (!replay.Header.Ticket) return "no ticket: the race was started without the server";
  const RaceTicket& ticket = *replay.Header.Ticket;
  if (!signer.SignatureHolds(ticket)) return "ticket signature does not hold";
  if (ticket.IssuedAt > now + rules.Slack.count()) return "ticket issued in the future";
  if (now > TicketExpiry(ticket, rules)) return "ticket expired";
  if (replay.Header.RandomState != ticket.Seed) return "replay seed is not the ticket's";
  if (ticket.Kind == TicketKind::Daily && ticket.Seed != DailyCourseOf(ticket.Day).Seed) {
    return "daily ticket with another day's seed";
  }
  if (ticket.Kind == TicketKind::Daily && replay.Header.Car != DailyCourseOf(ticket.Day).Car) {
    return "daily run with another car than the day's";
  }
  if (ticket.Kind == TicketKind::Daily) {
    const std::int64_t dayEnd = (static_cast<std::int64_t>(ticket.Day) + 1) * 24 * 60 * 60;
    if (now > dayEnd + rules.DailyGrace.count()) return "daily run sent after its day's grace";
  }
  const std::int64_t elapsedMs = (now - ticket.IssuedAt + rules.Slack.count()) * 1000;
  if (RaceMilliseconds(replay, rules) > elapsedMs) {
    return "race longer than the time since its ticket";
  }
  return std::nullopt;
}

std::string RunFingerprint(const Replay& replay) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(replay.Header.RandomState >> (8 * i));
  bytes += static_cast<char>(replay.Header.Car);
  for (const ReplayRun& run : replay.Runs) {
    for (std::uint32_t value :
         {run.Length, std::uint32_t{run.Tick.ActionBits}, run.Tick.LagCount}) {
      for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
    }
  }
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest);
  return Hex(digest, sizeof digest);
}

}  // namespace rivoltra::scores
