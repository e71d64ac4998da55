#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "ban_list.h"
#include "formats/score_code.h"
#include "metrics.h"
#include "name_filter.h"
#include "race_tickets.h"
#include "rate_limiter.h"
#include "replay_downloads.h"
#include "score_backend.h"
#include "score_store.h"
#include "token_store.h"
#include "verifier_runner.h"

namespace rivoltra::scores {

struct ServerRequest {
  std::string Method;
  std::string Target;  // path and query exactly as they arrived
  std::string ClientAddress;
  std::string Body;
  // Set by the listener once an upload's head passed AdmitUpload, so its limits are not
  // counted twice when the whole request arrives.
  bool Admitted = false;
  // Header names in lower case, as they arrived.
  std::vector<std::pair<std::string, std::string>> Headers;

  // The first header of that lower-case name, or nullptr.
  const std::string* Header(std::string_view name) const;
};

struct ServerResponse {
  int Status = 200;
  std::string ContentType = "text/plain; charset=utf-8";
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;
  // Sent instead of Body when set: large files are shared by every reply, not copied into each.
  std::shared_ptr<const std::string> SharedBody;
  // Kept by the listener until the reply is written or the connection drops: a download's
  // place among those served at once.
  std::shared_ptr<const void> Hold;
};

// What a stored entry may look like. The game limits names and countries by their drawn width,
// far below these lengths, but lets spaces through without limit; runs of spaces are folded.
struct EntryRules {
  std::size_t MaxNameLength = 24;
  std::size_t MaxCountryLength = 32;
  std::int32_t MaxScore = 9'999'999;
  std::size_t MaxTargetLength = 2048;
  std::size_t PageEntries = 100;
  std::size_t MaxReplayBytes = 1 << 20;  // the replay format's own cap
  // A stored replay may hold this much beyond one byte per tick. A run whose input changes
  // every tick (a paused game with keys rattled, say) needs two or more per tick; a player's
  // input changes far less often.
  std::size_t ReplayBaseBytes = 512;
  std::size_t ApiMaxLimit = 100;
  std::size_t ApiMaxOffset = 100'000;
};

// The reply to a report whose name the table does not take: 200, so the game reads it, with
// the text it shows the player in field 3.
inline constexpr std::string_view kNameRefusal =
    "REFUSED|name|This name is not allowed on the online table. Please choose another name.|";

// Query parameters by name, percent-decoded ("+" is a space); a name without "=" has an empty
// value. nullopt for a malformed query (a bad
// escape, a repeated name, too many parameters).
std::optional<std::map<std::string, std::string, std::less<>>> ParseQuery(std::string_view query);

// Trims the ends and folds every run of spaces to one.
std::string FoldSpaces(std::string_view text);

// Why a decoded report cannot be stored, or nullopt when it can; the report's name and country
// are folded first.
std::optional<std::string> RefuseReport(ScoreReport& report, const EntryRules& rules);

inline constexpr std::string_view kTicketPath = "/cgi/ticket.pl";
inline constexpr std::string_view kDailyPagePath = "/daily";
inline constexpr std::string_view kDailyListPath = "/cgi/daily.pl";

// Why a run in this standing is not verified; empty for Fresh.
std::string StandingReason(RunStanding standing);

// Every request of the score server, without sockets: routing, the version reply with its
// token, race tickets, score reports, replay uploads and downloads, the online table, the
// daily tables and the home page.
class ScoreService {
 public:
  ScoreService(ScoreBackend& backend, RateLimiter& versionLimiter, RateLimiter& reportLimiter,
               EntryRules rules = {});

  ServerResponse Handle(const ServerRequest& request, const ServiceTime& time);
  // The home page links to the browser game at this address; none when empty.
  void SetPlayAddress(std::string address) { playAddress_ = std::move(address); }
  // Takes replay uploads from now on, `POST /cgi/replay.pl?token=T`; without this they are
  // refused, and downloads of kept replays are served either way.
  void AcceptReplays(ReplayVerifier& verifier, RateLimiter& uploadLimiter) {
    verifier_ = &verifier;
    uploadLimiter_ = &uploadLimiter;
  }
  // Signs tickets with this secret (an operator's file) instead of the one kept in the storage.
  void UseTicketSecret(std::string secret);
  void SetTicketRules(TicketRules rules) { ticketRules_ = rules; }
  // Replay bytes one address may have stored, as a budget of bytes (`Allow` with a cost).
  void LimitReplayBytes(RateLimiter& bytesPerClient) { replayBytesLimiter_ = &bytesPerClient; }
  // Downloads per address, and how many are sent at once.
  void LimitDownloads(RateLimiter& downloadLimiter, std::size_t atOnce);
  // Names the filter refuses are refused when reported and left out of every page.
  void FilterNames(NameFilter filter) { nameFilter_ = std::move(filter); }
  // Serves /metrics to clients within the ranges (addresses or CIDR ranges); `gauges` adds
  // what the listener knows.
  void ServeMetrics(Metrics& metrics, std::vector<std::string> allowedRanges,
                    std::function<Metrics::Gauges()> gauges);

  // An upload judged by its head, before its body is read: its rate, the address's bans and
  // replay byte allowance, and its token. A reply refuses it; nullopt lets the body come.
  std::optional<ServerResponse> AdmitUpload(const ServerRequest& head, const ServiceTime& time);

 private:
  ServerResponse Version(const ServerRequest& request, const ServiceTime& time);
  ServerResponse Report(const ServerRequest& request, std::string_view code,
                        const ServiceTime& time);
  ServerResponse Table(EntryFilter filter, const ServiceTime& time);
  ServerResponse Health();
  ServerResponse ReplayRequest(const ServerRequest& request, std::string_view query,
                               const ServiceTime& time);
  ServerResponse Upload(const ServerRequest& request, std::string_view token,
                        const ServiceTime& time);
  ServerResponse Verified(const ServerRequest& request, const ScoreEntry& entry,
                          const VerifiedRun& run, const ServiceTime& time);
  ServerResponse Download(const ServerRequest& request, std::string_view entryId,
                          const ServiceTime& time);
  ServerResponse MetricsPage(const ServerRequest& request);
  ServerResponse Api(const ServerRequest& request, std::string_view path, std::string_view query,
                     const ServiceTime& time);
  ServerResponse ApiScores(const ServerRequest& request,
                           const std::map<std::string, std::string, std::less<>>& parameters,
                           const ServiceTime& time);
  ServerResponse ApiEntry(const ServerRequest& request,
                          const std::map<std::string, std::string, std::less<>>& parameters,
                          const ServiceTime& time);

  // The bans in force now; throws StorageError.
  BanList Bans(const ServiceTime& time);
  // The same, read at most once a second: for the version and report requests, where one more
  // query each would halve what a shared database serves.
  BanList RecentBans(const ServiceTime& time);
  bool Shown(const ScoreEntry& entry, const BanList& bans) const;
  // Entries the table shows, best first from `offset`: hidden ones, banned names and names the
  // filter refuses left out.
  std::vector<ScoreEntry> Visible(std::size_t offset, std::size_t limit, EntryFilter filter,
                                  const BanList& bans);
  // The same for a day's table of the daily run.
  std::vector<ScoreEntry> DailyVisible(std::uint32_t day, std::size_t offset, std::size_t limit,
                                       const BanList& bans);
  // Reads a ranking from an offset, as many as asked for.
  using RankingReader = std::function<std::vector<ScoreEntry>(std::size_t, std::size_t)>;
  std::vector<ScoreEntry> ShownOf(const RankingReader& read, std::size_t offset, std::size_t limit,
                                  const BanList& bans) const;
  ServerResponse StorageFailure(int status, std::string_view reason);
  ServerResponse Refused(int status, std::string_view reason, std::string_view limit);
  // Tickets and the daily tables, in daily_table.cpp.
  ServerResponse Ticket(const ServerRequest& request, std::string_view query,
                        const ServiceTime& time);
  ServerResponse DailyPage(std::string_view query, const ServiceTime& time);
  ServerResponse DailyList(std::string_view query, const ServiceTime& time);
  // The day a daily request names (`date=YYYY-MM-DD`, today without it), or the refusal.
  std::variant<std::uint32_t, ServerResponse> RequestedDay(std::string_view query,
                                                           const ServiceTime& time);
  // The refusal of a replay whose ticket or run cannot earn the verified mark; fills `run`
  // with what marking it verified keeps otherwise.
  std::optional<ServerResponse> RefuseRun(const Replay& replay, const ServiceTime& time,
                                          VerifiedRun& run);
  // The signer, made from the storage's secret at its first use.
  const TicketSigner& Signer();

  ScoreBackend& backend_;
  RateLimiter& versionLimiter_;
  RateLimiter& reportLimiter_;
  EntryRules rules_;
  std::string playAddress_;
  ReplayVerifier* verifier_ = nullptr;
  RateLimiter* uploadLimiter_ = nullptr;
  TicketRules ticketRules_;
  std::mutex signerMutex_;
  std::unique_ptr<TicketSigner> signer_;
  RateLimiter* replayBytesLimiter_ = nullptr;
  RateLimiter* downloadLimiter_ = nullptr;
  std::unique_ptr<ReplayDownloads> downloads_;
  NameFilter nameFilter_;
  Metrics* metrics_ = nullptr;
  std::vector<std::string> metricsFrom_;
  std::function<Metrics::Gauges()> gauges_;
  std::mutex recentBansMutex_;
  BanList recentBans_;
  std::optional<SteadyTime> recentBansRead_;
};

}  // namespace rivoltra::scores
