#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/race_ticket.h"
#include "persist/http_transport.h"

namespace rivoltra {

// Where the game's online services live. The defaults come from the build; the scripted runner
// and the tests point ServerBase at a server of their own.
struct OnlineConfig {
  std::string ServerBase;  // scheme and host (and port), no path: "http://scores.example:8642"
  std::string WebSite;     // the maker's home page
  // A server that accepts the connection and never answers would otherwise hold the game, which
  // draws nothing while a request runs, for as long as the connection lives.
  std::chrono::milliseconds ConnectTimeout{5000};
  std::chrono::milliseconds RequestTimeout{15000};
};

// The build's addresses with the standard time limits.
OnlineConfig DefaultOnlineConfig();

// The four addresses of the online services, from ServerBase (a trailing "/" on it is ignored).
std::string VersionRequestAddress(const OnlineConfig& config);
std::string ScoreReportAddress(const OnlineConfig& config, std::string_view code);
std::string OnlineTableAddress(const OnlineConfig& config);
std::string WebSiteAddress(const OnlineConfig& config);

// The platform's modal information box with a single OK button.
using ShowMessageBox = std::function<void(std::string_view text)>;

inline constexpr std::string_view kCannotConnectMessage = "Can't connect to server!";

// Field 5 of a version reply: the text between its fourth and fifth "|", empty with fewer.
std::string ServerFieldOf(std::string_view reply);

enum class SubmitOutcome {
  Sent,           // the report was requested; whether the server stored it is not known
  CannotConnect,  // the version request failed or did not answer "OK"; the box was shown
  NameRefused,    // the server does not take the name; its reason was shown in the box
};

// What the box says when a server refuses the name without saying why.
inline constexpr std::string_view kNameRefusedMessage =
    "This name is not allowed on the online table. Please choose another name.";

struct SubmitResult {
  SubmitOutcome Outcome = SubmitOutcome::CannotConnect;
  // The version reply's field 5 the report carried; the replay upload names its entry by it.
  // Empty unless the report was sent.
  std::string Token;
};

// Sends one result: the version request, then the encoded report with the version reply's
// field 5. The player hears kCannotConnectMessage, or the server's reason when it refuses the
// name ("REFUSED|name|TEXT|": TEXT, printable ASCII, at most 200 characters), nothing else.
SubmitResult SendScore(HttpTransport& transport, const OnlineConfig& config,
                       const ShowMessageBox& showMessage, std::string_view playerName,
                       std::int32_t score, std::string_view country);

// Where a replay of a sent report goes; the token is percent-encoded.
std::string ReplayUploadAddress(const OnlineConfig& config, std::string_view token);

enum class UploadOutcome {
  Verified,     // the server re-simulated the replay and marked the entry verified
  NotVerified,  // no answer, or the server refused the replay (busy, mismatch, expired...)
  NotSent,      // no token, no replay, or a replay above the format's size cap
};

// Posts the game's replay after a sent report, as application/octet-stream. Silent like the
// report: the player hears nothing of it, whatever happens.
UploadOutcome UploadReplay(HttpTransport& transport, const OnlineConfig& config,
                           std::string_view token, std::string_view replayBytes);

// A race ticket's request: a random seed, or the daily course of `day` (days since 1970).
std::string TicketRequestAddress(const OnlineConfig& config,
                                 std::optional<std::uint32_t> day = std::nullopt);
// The ticket of a reply "OK|ticket|HEX|"; nullopt for anything else.
std::optional<RaceTicket> TicketOfReply(std::string_view reply);
// The ticket request's own limits: it runs while the player chooses, and a race that starts
// before the ticket is in simply starts without it.
inline constexpr HttpLimits kTicketLimits{std::chrono::milliseconds(2000),
                                          std::chrono::milliseconds(4000)};

// A day's table of the daily run, best first, as the server lists it for the game.
struct DailyListEntry {
  std::string Name;
  std::string Country;
  std::int32_t Score = 0;
  std::int64_t EntryId = 0;
  bool operator==(const DailyListEntry&) const = default;
};
std::string DailyListAddress(const OnlineConfig& config, std::uint32_t day);
// The entries of a reply "OK|daily|DATE|COUNT|" and COUNT lines "NAME|COUNTRY|SCORE|ID|" for
// that day; nullopt for anything else (another day, a count that does not match, bad fields).
std::optional<std::vector<DailyListEntry>> DailyListOfReply(std::string_view reply,
                                                            std::uint32_t day);
// The address of a verified entry's replay.
std::string ReplayDownloadAddress(const OnlineConfig& config, std::int64_t entryId);

// The config's time limits, for the transport that carries its requests.
inline HttpLimits LimitsOf(const OnlineConfig& config) {
  return HttpLimits{config.ConnectTimeout, config.RequestTimeout};
}

}  // namespace rivoltra
