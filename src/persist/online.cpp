#include "persist/online.h"

#include "formats/replay_file.h"
#include "formats/score_code.h"

namespace rivoltra {
namespace {

constexpr std::string_view kScriptPath = "/cgi/version.pl";
constexpr std::string_view kReplayPath = "/cgi/replay.pl";
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
