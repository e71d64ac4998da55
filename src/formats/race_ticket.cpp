#include "formats/race_ticket.h"

namespace rivoltra {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void PutLittle(std::string& bytes, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i));
}

std::uint64_t Little(std::string_view bytes, std::size_t offset, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
  }
  return value;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Hex(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char byte : bytes) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 15];
  }
  return text;
}

}  // namespace

std::string TicketSignedBytes(const RaceTicket& ticket) {
  std::string bytes;
  bytes.reserve(kTicketBytes);
  bytes += static_cast<char>(ticket.Kind);
  PutLittle(bytes, static_cast<std::uint64_t>(ticket.IssuedAt), 8);
  PutLittle(bytes, ticket.Seed, 4);
  PutLittle(bytes, ticket.Day, 4);
  PutLittle(bytes, ticket.Nonce, 8);
  return bytes;
}

std::string TicketBytes(const RaceTicket& ticket) {
  std::string bytes = TicketSignedBytes(ticket);
  bytes.append(reinterpret_cast<const char*>(ticket.Signature.data()), ticket.Signature.size());
  return bytes;
}

std::optional<RaceTicket> TicketOfBytes(std::string_view bytes) {
  if (bytes.size() != kTicketBytes) return std::nullopt;
  RaceTicket ticket;
  const auto kind = static_cast<std::uint8_t>(bytes[0]);
  if (kind != static_cast<std::uint8_t>(TicketKind::Race) &&
      kind != static_cast<std::uint8_t>(TicketKind::Daily)) {
    return std::nullopt;
  }
  ticket.Kind = static_cast<TicketKind>(kind);
  ticket.IssuedAt = static_cast<std::int64_t>(Little(bytes, 1, 8));
  ticket.Seed = static_cast<std::uint32_t>(Little(bytes, 9, 4));
  ticket.Day = static_cast<std::uint32_t>(Little(bytes, 13, 4));
  ticket.Nonce = Little(bytes, 17, 8);
  for (std::size_t i = 0; i < kTicketSignatureBytes; ++i) {
    ticket.Signature[i] = static_cast<std::uint8_t>(bytes[kTicketSignedBytes + i]);
  }
  return ticket;
}

std::string TicketText(const RaceTicket& ticket) { return Hex(TicketBytes(ticket)); }

std::optional<RaceTicket> TicketOfText(std::string_view text) {
  if (text.size() != kTicketBytes * 2) return std::nullopt;
  std::string bytes;
  bytes.reserve(kTicketBytes);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return TicketOfBytes(bytes);
}

std::string TicketId(const RaceTicket& ticket) {
  return Hex(TicketSignedBytes(ticket).substr(1, 8)) + Hex(TicketSignedBytes(ticket).substr(17, 8));
}

}  // namespace rivoltra
