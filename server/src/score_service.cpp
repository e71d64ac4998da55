#include "score_service.h"

#include <charconv>

#include "formats/replay_file.h"
#include "score_api.h"
#include "score_page.h"
#include "service_replies.h"

namespace rivoltra::scores {
namespace {

constexpr std::string_view kScriptPath = "/cgi/version.pl";
constexpr std::string_view kReplayPath = "/cgi/replay.pl";
constexpr std::string_view kProgram = "Rivoltra";
constexpr std::size_t kMaxParameters = 16;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      decoded += ' ';
    } else if (text[i] == '%') {
      if (text.size() - i < 3) return std::nullopt;
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

}  // namespace

std::optional<std::map<std::string, std::string, std::less<>>> ParseQuery(std::string_view query) {
  std::map<std::string, std::string, std::less<>> parameters;
  while (!query.empty()) {
    std::size_t end = query.find('&');
    std::string_view piece = query.substr(0, end);
    query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    if (piece.empty()) continue;
    std::size_t equals = piece.find('=');
    auto name = PercentDecode(piece.substr(0, equals));
    auto value = equals == std::string_view::npos ? std::optional<std::string>(std::string())
                                                  : PercentDecode(piece.substr(equals + 1));
    if (!name || !value || name->empty()) return std::nullopt;
    if (parameters.size() == kMaxParameters) return std::nullopt;
    if (!parameters.emplace(std::move(*name), std::move(*value)).second) return std::nullopt;
  }
  return parameters;
}

std::string FoldSpaces(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  bool pendingSpace = false;
  for (char c : text) {
    if (c == ' ') {
      pendingSpace = !folded.empty();
      continue;
    }
    if (pendingSpace) folded += ' ';
    pendingSpace = false;
    folded += c;
  }
  return folded;
}

std::optional<std::string> RefuseReport(ScoreReport& report, const EntryRules& rules) {
  if (report.Type != kScoreMessageType) return "unknown message type";
  if (report.Key != kScoreKeyLetter) return "wrong key";
  auto capitalsAndSpaces = [](std::string_view text) {
    for (char c : text) {
      if (c != ' ' && (c < 'A' || c > 'Z')) return false;
    }
    return true;
  };
  if (!capitalsAndSpaces(report.PlayerName)) return "name holds other than capitals and spaces";
  if (!capitalsAndSpaces(report.Country)) return "country holds other than capitals and spaces";
  report.PlayerName = FoldSpaces(report.PlayerName);
  report.Country = FoldSpaces(report.Country);
  if (report.PlayerName.size() > rules.MaxNameLength) return "name too long";
  if (report.Country.size() > rules.MaxCountryLength) return "country too long";
  if (report.Score < 0 || report.Score > rules.MaxScore) return "implausible score";
  if (report.ServerField.empty()) return "no token";
  return std::nullopt;
}

const std::string* ServerRequest::Header(std::string_view name) const {
  for (const auto& [headerName, value] : Headers) {
    if (headerName == name) return &value;
  }
  return nullptr;
}

ScoreService::ScoreService(ScoreBackend& backend, RateLimiter& versionLimiter,
                           RateLimiter& reportLimiter, EntryRules rules)
    : backend_(backend),
      versionLimiter_(versionLimiter),
      reportLimiter_(reportLimiter),
      rules_(rules) {}

void ScoreService::LimitDownloads(RateLimiter& downloadLimiter, std::size_t atOnce) {
  downloadLimiter_ = &downloadLimiter;
  downloads_ = std::make_unique<ReplayDownloads>(atOnce);
}

void ScoreService::ServeMetrics(Metrics& metrics, std::vector<std::string> allowedRanges,
                                std::function<Metrics::Gauges()> gauges) {
  metrics_ = &metrics;
  metricsFrom_ = std::move(allowedRanges);
  gauges_ = std::move(gauges);
}

ServerResponse ScoreService::StorageFailure(int status, std::string_view reason) {
  if (metrics_ != nullptr) metrics_->CountStorageError();
  return Refusal(status, reason);
}

ServerResponse ScoreService::Refused(int status, std::string_view reason, std::string_view limit) {
  if (metrics_ != nullptr) metrics_->CountRefusal(limit);
  return Refusal(status, reason);
}

BanList ScoreService::Bans(const ServiceTime& time) {
  return BanList(backend_.ActiveBans(time.UnixSeconds));
}

BanList ScoreService::RecentBans(const ServiceTime& time) {
  constexpr auto kBanRefresh = std::chrono::seconds(1);
  {
    std::lock_guard lock(recentBansMutex_);
    if (recentBansRead_ && time.Now >= *recentBansRead_ &&
        time.Now - *recentBansRead_ < kBanRefresh) {
      return recentBans_;
    }
  }
  BanList bans = Bans(time);
  std::lock_guard lock(recentBansMutex_);
  recentBans_ = bans;
  recentBansRead_ = time.Now;
  return bans;
}

bool ScoreService::Shown(const ScoreEntry& entry, const BanList& bans) const {
  return entry.HiddenReason.empty() && !nameFilter_.Refuses(entry.Name) &&
         !bans.NameBanned(entry.Name);
}

std::vector<ScoreEntry> ScoreService::ShownOf(const RankingReader& read, std::size_t offset,
                                              std::size_t limit, const BanList& bans) const {
  if (nameFilter_.Empty() && bans.Empty()) return read(offset, limit);
  // Names are judged here, not in the database, so the ranking is read in chunks until enough
  // shown entries are found; the chunks are bounded, a table of nothing but banned names ends.
  constexpr std::size_t kChunk = 256;
  constexpr std::size_t kMostChunks = 64;
  std::vector<ScoreEntry> shown;
  std::size_t skipped = 0;
  for (std::size_t chunk = 0; chunk < kMostChunks && shown.size() < limit; ++chunk) {
    std::vector<ScoreEntry> rows = read(chunk * kChunk, kChunk);
    for (ScoreEntry& entry : rows) {
      if (!Shown(entry, bans)) continue;
      if (skipped < offset) {
        ++skipped;
        continue;
      }
      if (shown.size() < limit) shown.push_back(std::move(entry));
    }
    if (rows.size() < kChunk) break;
  }
  return shown;
}

std::vector<ScoreEntry> ScoreService::Visible(std::size_t offset, std::size_t limit,
                                              EntryFilter filter, const BanList& bans) {
  return ShownOf(
      [&](std::size_t from, std::size_t count) { return backend_.Ranked(from, count, filter); },
      offset, limit, bans);
}

std::vector<ScoreEntry> ScoreService::DailyVisible(std::uint32_t day, std::size_t offset,
                                                   std::size_t limit, const BanList& bans) {
  return ShownOf(
      [&](std::size_t from, std::size_t count) { return backend_.DailyRanked(day, from, count); },
      offset, limit, bans);
}

ServerResponse ScoreService::Handle(const ServerRequest& request, const ServiceTime& time) {
  ServerResponse response = [&] {
    if (request.Target.size() <= rules_.MaxTargetLength &&
        std::string_view(request.Target).substr(0, request.Target.find('?')) == kReplayPath) {
      std::size_t question = request.Target.find('?');
      return ReplayRequest(request,
                           question == std::string::npos
                               ? std::string_view()
                               : std::string_view(request.Target).substr(question + 1),
                           time);
    }
    if (request.Method != "GET") {
      ServerResponse refused = Refusal(405, "only GET is served");
      refused.Headers.emplace_back("Allow", "GET");
      return refused;
    }
    if (request.Target.size() > rules_.MaxTargetLength) return Refusal(414, "request too long");
    std::string_view target = request.Target;
    std::size_t question = target.find('?');
    std::string_view path = target.substr(0, question);
    std::string_view query =
        question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
    if (path == "/") {
      return Html(
          RenderHomePage(std::string(kScriptPath) + "?prg=Rivoltra&show&type=0", playAddress_));
    }
    if (path == "/healthz") return Health();
    if (path == kTicketPath) return Ticket(request, query, time);
    if (path == kDailyPagePath) return DailyPage(query, time);
    if (path == kDailyListPath) return DailyList(query, time);
    if (path == "/metrics") return MetricsPage(request);
    if (path.substr(0, 5) == "/api/") return Api(request, path, query, time);
    if (path != kScriptPath) return Refusal(404, "no such page");

    auto parameters = ParseQuery(query);
    if (!parameters) return Refusal(400, "malformed query");
    auto program = parameters->find("prg");
    if (program == parameters->end()) return Refusal(400, "no program named");
    if (program->second != kProgram) return Refusal(404, "unknown program");

    int actions = 0;
    for (const char* action : {"version", "hs", "show"}) {
      auto found = parameters->find(action);
      if (found == parameters->end()) continue;
      if (!found->second.empty()) return Refusal(400, "action with a value");
      ++actions;
    }
    if (actions != 1) return Refusal(400, "expected one of version, hs, show");

    if (parameters->count("version") != 0) return Version(request, time);
    if (parameters->count("hs") != 0) {
      auto code = parameters->find("inf");
      if (code == parameters->end() || code->second.empty()) return Refusal(400, "no report");
      return Report(request, code->second, time);
    }
    auto type = parameters->find("type");
    if (type == parameters->end() || type->second != "0") return Refusal(400, "unknown table");
    auto verified = parameters->find("verified");
    bool verifiedOnly = verified != parameters->end() && verified->second == "1";
    return Table(verifiedOnly ? EntryFilter::VerifiedOnly : EntryFilter::All, time);
  }();
  bool cachePolicySet = false;
  for (const auto& [name, value] : response.Headers) cachePolicySet |= name == "Cache-Control";
  if (!cachePolicySet) response.Headers.emplace_back("Cache-Control", "no-store");
  response.Headers.emplace_back("X-Content-Type-Options", "nosniff");
  return response;
}

ServerResponse ScoreService::Version(const ServerRequest& request, const ServiceTime& time) {
  if (!versionLimiter_.Allow(request.ClientAddress, time.Now)) {
    return Refused(429, "too many requests", "version_rate");
  }
  std::optional<std::string> token;
  try {
    if (RecentBans(time).AddressBanned(request.ClientAddress)) {
      return Refused(403, "banned", "address_ban");
    }
    token = backend_.IssueToken(request.ClientAddress, time);
  } catch (const StorageError&) {
    return StorageFailure(503, "no token available");
  }
  if (!token) return Refused(503, "too many players waiting", "token_capacity");
  // Field 5 is the one the game passes back; the others are for people reading the reply.
  return Plain(200, "OK|Rivoltra|" + std::string(kScoreMessageType) + "|" +
                        std::to_string(backend_.TokenLifetime().count()) + "|" + *token + "|");
}

ServerResponse ScoreService::Report(const ServerRequest& request, std::string_view code,
                                    const ServiceTime& time) {
  if (!reportLimiter_.Allow(request.ClientAddress, time.Now)) {
    return Refused(429, "too many reports", "report_rate");
  }
  auto message = DecodeScoreCode(code);
  if (!message) return Refusal(400, "undecodable report");
  auto report = ParseScoreMessage(*message);
  if (!report) return Refusal(400, "malformed report");
  if (auto reason = RefuseReport(*report, rules_)) return Refusal(400, *reason);

  ScoreBackend::Redeemed redeemed = ScoreBackend::Redeemed::Unknown;
  try {
    BanList bans = RecentBans(time);
    if (bans.AddressBanned(request.ClientAddress)) return Refused(403, "banned", "address_ban");
    // The token stays good, so the player can send the same result under another name.
    if (nameFilter_.Refuses(report->PlayerName) || bans.NameBanned(report->PlayerName)) {
      if (metrics_ != nullptr) metrics_->CountRefusal("name");
      return Plain(200, std::string(kNameRefusal));
    }
    redeemed = backend_.StoreWithToken(
        report->ServerField,
        {report->PlayerName, report->Country, report->Score, time.UnixSeconds, 0, false, {}}, time);
  } catch (const StorageError&) {
    return StorageFailure(500, "score not stored");
  }
  switch (redeemed) {
    case ScoreBackend::Redeemed::Stored:
      break;
    case ScoreBackend::Redeemed::Expired:
      return Refusal(403, "token expired");
    case ScoreBackend::Redeemed::Unknown:
      return Refusal(403, "token unknown or already used");
  }
  return Plain(200, "OK|stored|");
}

ServerResponse ScoreService::Table(EntryFilter filter, const ServiceTime& time) {
  try {
    TableLinks links;
    links.WatchPage = playAddress_;
    return Html(RenderScorePage(Visible(0, rules_.PageEntries, filter, Bans(time)), links,
                                filter == EntryFilter::VerifiedOnly));
  } catch (const StorageError&) {
    return StorageFailure(500, "table unavailable");
  }
}

ServerResponse ScoreService::Health() {
  try {
    backend_.CheckHealth();
  } catch (const StorageError&) {
    return StorageFailure(503, "storage unavailable");
  }
  return Plain(200, "OK|healthy|\n");
}

ServerResponse ScoreService::MetricsPage(const ServerRequest& request) {
  bool allowed = false;
  for (const auto& range : metricsFrom_) allowed |= AddressInPattern(request.ClientAddress, range);
  // Unknown to anyone else, as if there were no such page.
  if (metrics_ == nullptr || !allowed) return Refusal(404, "no such page");
  Metrics::Gauges gauges = gauges_ ? gauges_() : Metrics::Gauges{};
  try {
    gauges.StoredScores = backend_.StoredScores();
    gauges.OutstandingTokens = backend_.OutstandingTokens();
  } catch (const StorageError&) {
    metrics_->CountStorageError();
  }
  ServerResponse response = Plain(200, metrics_->Render(gauges));
  response.ContentType = "text/plain; version=0.0.4; charset=utf-8";
  return response;
}

ServerResponse ScoreService::ReplayRequest(const ServerRequest& request, std::string_view query,
                                           const ServiceTime& time) {
  auto parameters = ParseQuery(query);
  if (request.Method == "GET") {
    if (!parameters) return Refusal(400, "malformed query");
    auto entry = parameters->find("get");
    if (entry == parameters->end()) return Refusal(400, "no replay named");
    return Download(request, entry->second, time);
  }
  if (request.Method != "POST") {
    ServerResponse refused = Refusal(405, "only GET and POST are served");
    refused.Headers.emplace_back("Allow", "GET, POST");
    return refused;
  }
  if (!request.Admitted) {
    if (auto refusal = AdmitUpload(request, time)) return *refusal;
  }
  auto token = parameters->find("token");
  ServerResponse answer = Upload(request, token->second, time);
  if (metrics_ != nullptr) {
    metrics_->CountUpload(answer.Status == 200   ? "verified"
                          : answer.Status == 503 ? "unavailable"
                          : answer.Status >= 500 ? "error"
                                                 : "refused");
  }
  return answer;
}

std::optional<ServerResponse> ScoreService::AdmitUpload(const ServerRequest& head,
                                                        const ServiceTime& time) {
  if (verifier_ == nullptr || uploadLimiter_ == nullptr) {
    return Refusal(404, "replays are not taken here");
  }
  if (!uploadLimiter_->Allow(head.ClientAddress, time.Now)) {
    return Refused(429, "too many uploads", "upload_rate");
  }
  std::size_t question = head.Target.find('?');
  auto parameters = ParseQuery(question == std::string::npos
                                   ? std::string_view()
                                   : std::string_view(head.Target).substr(question + 1));
  if (!parameters) return Refusal(400, "malformed query");
  auto token = parameters->find("token");
  if (token == parameters->end() || token->second.empty()) return Refusal(400, "no token");
  std::optional<ScoreEntry> entry;
  try {
    if (Bans(time).AddressBanned(head.ClientAddress)) return Refused(403, "banned", "address_ban");
    entry = backend_.EntryOfToken(token->second, time);
  } catch (const StorageError&) {
    return StorageFailure(500, "entry unavailable");
  }
  if (!entry) return Refusal(404, "token unknown or expired");
  if (entry->Verified) return Refusal(409, "already verified");
  if (replayBytesLimiter_ != nullptr) {
    // Counted from the declared length, before the bytes arrive; a body that is read whole
    // (no listener in front) counts what it holds.
    std::size_t bytes = head.Body.size();
    if (const std::string* length = head.Header("content-length")) {
      std::from_chars(length->data(), length->data() + length->size(), bytes);
    }
    if (!replayBytesLimiter_->Allow(head.ClientAddress, time.Now, static_cast<double>(bytes))) {
      return Refused(429, "replay bytes over this address's allowance", "replay_bytes");
    }
  }
  return std::nullopt;
}

ServerResponse ScoreService::Upload(const ServerRequest& request, std::string_view token,
                                    const ServiceTime& time) {
  if (request.Body.size() > rules_.MaxReplayBytes) return Refusal(413, "replay too large");
  Replay replay;
  try {
    replay = ReadReplay(request.Body, "upload");
  } catch (const ReplayError& error) {
    switch (error.Problem()) {
      case ReplayProblem::TooLarge:
        return Refusal(413, "replay too large");
      case ReplayProblem::NotAReplay:
        return Refusal(400, "not a replay");
      case ReplayProblem::UnsupportedVersion:
        return Refusal(400, "unsupported replay version");
      case ReplayProblem::Truncated:
        return Refusal(400, "truncated replay");
      case ReplayProblem::Damaged:
        return Refusal(400, "damaged replay");
      case ReplayProblem::BadField:
      case ReplayProblem::Unreadable:
        return Refusal(400, "malformed replay");
    }
    return Refusal(400, "malformed replay");
  }
  if (request.Body.size() > rules_.ReplayBaseBytes + replay.TickCount) {
    return Refused(413, "replay larger than its ticks need", "replay_ticks");
  }

  std::optional<ScoreEntry> entry;
  try {
    entry = backend_.EntryOfToken(token, time);
  } catch (const StorageError&) {
    return StorageFailure(500, "entry unavailable");
  }
  if (!entry) return Refusal(404, "token unknown or expired");
  if (entry->Verified) return Refusal(409, "already verified");
  const ReplayTrailer& trailer = replay.Trailer;
  if (trailer.Score != entry->Score) return Refusal(409, "replay score differs from the entry");
  if (FoldSpaces(trailer.PlayerName) != entry->Name ||
      FoldSpaces(trailer.Country) != entry->Country) {
    return Refusal(409, "replay name or country differs from the entry");
  }
  VerifiedRun run;
  if (auto refused = RefuseRun(replay, time, run)) return *refused;
  return Verified(request, *entry, run, time);
}

ServerResponse ScoreService::Verified(const ServerRequest& request, const ScoreEntry& entry,
                                      const VerifiedRun& run, const ServiceTime& time) {
  auto started = std::chrono::steady_clock::now();
  VerifierVerdict verdict = verifier_->Verify(request.Body);
  if (metrics_ != nullptr) {
    static constexpr std::string_view kOutcomes[] = {"reproduced", "different", "unreadable",
                                                     "busy", "failed"};
    metrics_->CountVerification(kOutcomes[static_cast<int>(verdict.Kind)],
                                std::chrono::steady_clock::now() - started);
  }
  switch (verdict.Kind) {
    case VerdictKind::Reproduced:
      break;
    case VerdictKind::Busy:
      return Refused(503, "busy", "verify_queue");
    case VerdictKind::Failed:
      return Refusal(503, "not verified: " + verdict.Detail);
    case VerdictKind::Unreadable:
      // The replay passed the same reader here, so the verifier's data or setup is at fault.
      return Refusal(503, "not verified: verifier cannot read the replay or its data");
    case VerdictKind::Different:
      return Refusal(409, "replay does not reproduce its result: " + verdict.Detail);
  }
  if (verdict.Score != entry.Score) return Refusal(409, "run reaches another score");

  RunStanding standing = RunStanding::Fresh;
  try {
    standing = backend_.MarkVerifiedRun(entry.Id, request.Body, run, time.UnixSeconds);
  } catch (const StorageError&) {
    return StorageFailure(500, "replay not stored");
  }
  if (standing != RunStanding::Fresh) return Refusal(409, StandingReason(standing));
  return Plain(200, "OK|verified|");
}

ServerResponse ScoreService::Download(const ServerRequest& request, std::string_view entryId,
                                      const ServiceTime& time) {
  std::int64_t id = 0;
  auto parsed = std::from_chars(entryId.data(), entryId.data() + entryId.size(), id);
  if (entryId.empty() || parsed.ptr != entryId.data() + entryId.size() || id <= 0) {
    return Refusal(400, "bad replay number");
  }
  if (downloadLimiter_ != nullptr && !downloadLimiter_->Allow(request.ClientAddress, time.Now)) {
    return Refused(429, "too many downloads", "download_rate");
  }
  std::shared_ptr<const void> place;
  if (downloads_) {
    place = downloads_->TakePlace();
    if (!place) return Refused(503, "busy", "download_places");
  }
  std::shared_ptr<const std::string> bytes;
  try {
    std::optional<ScoreEntry> entry = backend_.Entry(id);
    if (!entry || !Shown(*entry, Bans(time))) return Refusal(404, "no such replay");
    auto load = [&] { return backend_.ReplayOf(id); };
    if (downloads_) {
      bytes = downloads_->Shared(id, load);
    } else if (auto own = load()) {
      bytes = std::make_shared<const std::string>(std::move(*own));
    }
  } catch (const StorageError&) {
    return StorageFailure(500, "replay unavailable");
  }
  if (!bytes) return Refusal(404, "no such replay");
  ServerResponse response;
  response.ContentType = "application/octet-stream";
  response.SharedBody = std::move(bytes);
  response.Hold = std::move(place);
  response.Headers.emplace_back("Content-Disposition",
                                "attachment; filename=\"rivoltra-" + std::to_string(id) + ".rvr\"");
  return response;
}

}  // namespace rivoltra::scores
