#include "persist/online.h"

#include <charconv>

#include "formats/daily_course.h"
#include "formats/replay_file.h"
#include "formats/score_code.h"

namespace rivoltra {
namespace {

constexpr std::string_view kScriptPath = "/cgi/version.pl";
constexpr std::string_view kReplayPath = "/cgi/replay.pl";
constexpr std::string_view kTicketPath = "/cgi/ticket.pl";
constexpr std::string_view kDailyListPath = "/cgi/daily.pl";
constexpr std::size_t kMaxDailyListEntries = 100;
constexpr int kServerFieldNumber = 5;

std::string ServerAddress(const OnlineConfig& config, std::string_view pathAndQuery) {
  std::string_view base = config.ServerBase;
  while (!base.empty() && base.back() == '/') base.remove_suffix(1);
  std::string address(base);
  address += pathAndQuery;
  return address;
}

// Every failure of the HTTP client counts as no reply, exceptions included.
std::optional<std::string> GetOrNothing(HttpTransport& transport, const std::string& address) {
  try {
    return transport.Get(address);
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<std::string> PostOrNothing(HttpTransport& transport, const std::string& address,
                                         const std::string& body) {
  try {
    return transport.Post(address, body, "application/octet-stream");
  } catch (...) {
    return std::nullopt;
  }
}

std::string PercentEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (char c : text) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      encoded += c;
    } else {
      auto code = static_cast<unsigned char>(c);
      encoded += '%';
      encoded += kHex[code >> 4];
      encoded += kHex[code & 15];
    }
  }
  return encoded;
}

// The text up to the next "|", taken off the front; nullopt when there is no "|".
std::optional<std::string_view> NextField(std::string_view& text) {
  const std::size_t bar = text.find('|');
  if (bar == std::string_view::npos) return std::nullopt;
  std::string_view field = text.substr(0, bar);
  text.remove_prefix(bar + 1);
  return field;
}

template <typename Number>
std::optional<Number> NumberOf(std::string_view text) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool CapitalsAndSpaces(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && (c < 'A' || c > 'Z')) return false;
  }
  return true;
}

std::optional<DailyListEntry> DailyListEntryOf(std::string_view line) {
  auto name = NextField(line);
  auto country = NextField(line);
  auto score = NextField(line);
  auto id = NextField(line);
  if (!id || !line.empty()) return std::nullopt;
  auto scoreValue = NumberOf<std::int32_t>(*score);
  auto idValue = NumberOf<std::int64_t>(*id);
  if (!scoreValue || !idValue || !CapitalsAndSpaces(*name) || !CapitalsAndSpaces(*country) ||
      name->size() > 64 || country->size() > 64) {
    return std::nullopt;
  }
  return DailyListEntry{std::string(*name), std::string(*country), *scoreValue, *idValue};
}

constexpr std::string_view kNameRefusalPrefix = "REFUSED|name|";
constexpr std::size_t kMaxRefusalLength = 200;

// The server's words for the player: field 3, printable ASCII only and cut to a box's length,
// so an odd reply cannot put anything else on the screen.
std::string RefusalText(std::string_view reply) {
  std::string_view text = reply.substr(kNameRefusalPrefix.size());
  text = text.substr(0, text.find('|'));
  std::string shown;
  for (char c : text.substr(0, kMaxRefusalLength)) {
    if (c >= 0x20 && c < 0x7F) shown += c;
  }
  return shown.empty() ? std::string(kNameRefusedMessage) : shown;
}

}  // namespace

OnlineConfig DefaultOnlineConfig() {
  OnlineConfig config;
  config.ServerBase = RIVOLTRA_SCORE_SERVER;
  config.WebSite = RIVOLTRA_WEB_SITE;
  return config;
}

std::string VersionRequestAddress(const OnlineConfig& config) {
  return ServerAddress(config, std::string(kScriptPath) + "?version&prg=Rivoltra");
}

std::string ScoreReportAddress(const OnlineConfig& config, std::string_view code) {
  return ServerAddress(config, std::string(kScriptPath) + "?hs&prg=Rivoltra&inf=") +
         std::string(code);
}

std::string OnlineTableAddress(const OnlineConfig& config) {
  return ServerAddress(config, std::string(kScriptPath) + "?prg=Rivoltra&show&type=0");
}

std::string WebSiteAddress(const OnlineConfig& config) { return config.WebSite; }

std::string ServerFieldOf(std::string_view reply) {
  std::string_view field;
  for (int pass = 1; pass <= kServerFieldNumber; ++pass) {
    std::size_t bar = reply.find('|');
    if (bar == std::string_view::npos) {
      field = {};
      continue;
    }
    field = reply.substr(0, bar);
    reply.remove_prefix(bar + 1);
  }
  return std::string(field);
}

std::string ReplayUploadAddress(const OnlineConfig& config, std::string_view token) {
  return ServerAddress(config, std::string(kReplayPath) + "?token=" + PercentEncoded(token));
}

SubmitResult SendScore(HttpTransport& transport, const OnlineConfig& config,
                       const ShowMessageBox& showMessage, std::string_view playerName,
                       std::int32_t score, std::string_view country) {
  std::string reply =
      GetOrNothing(transport, VersionRequestAddress(config)).value_or(std::string());
  if (reply.substr(0, 2) != "OK") {
    if (showMessage) showMessage(kCannotConnectMessage);
    return {SubmitOutcome::CannotConnect, {}};
  }
  std::string token = ServerFieldOf(reply);
  std::string message = ScoreMessage(playerName, score, token, country);
  std::string code = EncodeGroups(EncodeBits(message));
  // The player hears of the report only when the server refuses the name, so another can be
  // chosen; any other answer, or none, passes in silence.
  auto answer = GetOrNothing(transport, ScoreReportAddress(config, code));
  if (answer && answer->rfind(kNameRefusalPrefix, 0) == 0) {
    if (showMessage) showMessage(RefusalText(*answer));
    return {SubmitOutcome::NameRefused, {}};
  }
  return {SubmitOutcome::Sent, std::move(token)};
}

UploadOutcome UploadReplay(HttpTransport& transport, const OnlineConfig& config,
                           std::string_view token, std::string_view replayBytes) {
  if (token.empty() || replayBytes.empty() || replayBytes.size() > kMaxReplayBytes) {
    return UploadOutcome::NotSent;
  }
  auto reply =
      PostOrNothing(transport, ReplayUploadAddress(config, token), std::string(replayBytes));
  if (reply && reply->rfind("OK|verified|", 0) == 0) return UploadOutcome::Verified;
  return UploadOutcome::NotVerified;
}

}  // namespace rivoltra

namespace rivoltra {

std::string TicketRequestAddress(const OnlineConfig& config, std::optional<std::uint32_t> day) {
  std::string pathAndQuery(kTicketPath);
  if (day) pathAndQuery += "?daily=" + DateTextOf(*day);
  return ServerAddress(config, pathAndQuery);
}

std::optional<RaceTicket> TicketOfReply(std::string_view reply) {
  constexpr std::string_view kHead = "OK|ticket|";
  if (reply.substr(0, kHead.size()) != kHead) return std::nullopt;
  reply.remove_prefix(kHead.size());
  auto text = NextField(reply);
  if (!text) return std::nullopt;
  return TicketOfText(*text);
}

std::string DailyListAddress(const OnlineConfig& config, std::uint32_t day) {
  return ServerAddress(config, std::string(kDailyListPath) + "?date=" + DateTextOf(day));
}

std::optional<std::vector<DailyListEntry>> DailyListOfReply(std::string_view reply,
                                                            std::uint32_t day) {
  const std::size_t lineEnd = reply.find('\n');
  if (lineEnd == std::string_view::npos) return std::nullopt;
  std::string_view head = reply.substr(0, lineEnd);
  reply.remove_prefix(lineEnd + 1);
  auto ok = NextField(head);
  auto kind = NextField(head);
  auto date = NextField(head);
  auto count = NextField(head);
  if (!count || *ok != "OK" || *kind != "daily" || !head.empty()) return std::nullopt;
  if (*date != DateTextOf(day)) return std::nullopt;
  auto countValue = NumberOf<std::size_t>(*count);
  if (!countValue || *countValue > kMaxDailyListEntries) return std::nullopt;
  std::vector<DailyListEntry> entries;
  for (std::size_t i = 0; i < *countValue; ++i) {
    const std::size_t end = reply.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    auto entry = DailyListEntryOf(reply.substr(0, end));
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
    reply.remove_prefix(end + 1);
  }
  if (!reply.empty()) return std::nullopt;
  return entries;
}

std::string ReplayDownloadAddress(const OnlineConfig& config, std::int64_t entryId) {
  return ServerAddress(config, std::string(kReplayPath) + "?get=" + std::to_string(entryId));
}

}  // namespace rivoltra
