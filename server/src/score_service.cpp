#include "score_service.h"

#include <charconv>

#include "persist/replay_file.h"
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
  if (report.PlayerName.size() > rules.maxNameLength) return "name too long";
  if (report.Country.size() > rules.maxCountryLength) return "country too long";
  if (report.Score < 0 || report.Score > rules.maxScore) return "implausible score";
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

ServerResponse ScoreService::Handle(const ServerRequest& request, const ServiceTime& time) {
  ServerResponse response = [&] {
    if (request.Target.size() <= rules_.maxTargetLength &&
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
    if (request.Target.size() > rules_.maxTargetLength) return Refusal(414, "request too long");
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
    return Table(verifiedOnly ? EntryFilter::VerifiedOnly : EntryFilter::All);
  }();
  response.Headers.emplace_back("Cache-Control", "no-store");
  response.Headers.emplace_back("X-Content-Type-Options", "nosniff");
  return response;
}

ServerResponse ScoreService::Version(const ServerRequest& request, const ServiceTime& time) {
  if (!versionLimiter_.Allow(request.ClientAddress, time.Now)) {
    return Refusal(429, "too many requests");
  }
  std::optional<std::string> token;
  try {
    token = backend_.IssueToken(request.ClientAddress, time);
  } catch (const StorageError&) {
    return Refusal(503, "no token available");
  }
  if (!token) return Refusal(503, "too many players waiting");
  // Field 5 is the one the game passes back; the others are for people reading the reply.
  return Plain(200, "OK|Rivoltra|" + std::string(kScoreMessageType) + "|" +
                        std::to_string(backend_.TokenLifetime().count()) + "|" + *token + "|");
}

ServerResponse ScoreService::Report(const ServerRequest& request, std::string_view code,
                                    const ServiceTime& time) {
  if (!reportLimiter_.Allow(request.ClientAddress, time.Now)) {
    return Refusal(429, "too many reports");
  }
  auto message = DecodeScoreCode(code);
  if (!message) return Refusal(400, "undecodable report");
  auto report = ParseScoreMessage(*message);
  if (!report) return Refusal(400, "malformed report");
  if (auto reason = RefuseReport(*report, rules_)) return Refusal(400, *reason);

  ScoreBackend::Redeemed redeemed = ScoreBackend::Redeemed::Unknown;
  try {
    redeemed = backend_.StoreWithToken(
        report->ServerField, {report->PlayerName, report->Country, report->Score, time.UnixSeconds},
        time);
  } catch (const StorageError&) {
    return Refusal(500, "score not stored");
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

ServerResponse ScoreService::Table(EntryFilter filter) {
  try {
    TableLinks links;
    links.watchPage = playAddress_;
    return Html(RenderScorePage(backend_.Best(rules_.pageEntries, filter), links,
                                filter == EntryFilter::VerifiedOnly));
  } catch (const StorageError&) {
    return Refusal(500, "table unavailable");
  }
}

ServerResponse ScoreService::Health() {
  try {
    backend_.CheckHealth();
  } catch (const StorageError&) {
    return Refusal(503, "storage unavailable");
  }
  return Plain(200, "OK|healthy|\n");
}

ServerResponse ScoreService::ReplayRequest(const ServerRequest& request, std::string_view query,
                                           const ServiceTime& time) {
  auto parameters = ParseQuery(query);
  if (request.Method == "GET") {
    if (!parameters) return Refusal(400, "malformed query");
    auto entry = parameters->find("get");
    if (entry == parameters->end()) return Refusal(400, "no replay named");
    return Download(entry->second);
  }
  if (request.Method != "POST") {
    ServerResponse refused = Refusal(405, "only GET and POST are served");
    refused.Headers.emplace_back("Allow", "GET, POST");
    return refused;
  }
  if (verifier_ == nullptr || uploadLimiter_ == nullptr) {
    return Refusal(404, "replays are not taken here");
  }
  if (!uploadLimiter_->Allow(request.ClientAddress, time.Now)) {
    return Refusal(429, "too many uploads");
  }
  if (!parameters) return Refusal(400, "malformed query");
  auto token = parameters->find("token");
  if (token == parameters->end() || token->second.empty()) return Refusal(400, "no token");
  return Upload(request, token->second, time);
}

ServerResponse ScoreService::Upload(const ServerRequest& request, std::string_view token,
                                    const ServiceTime& time) {
  if (request.Body.size() > rules_.maxReplayBytes) return Refusal(413, "replay too large");
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

  std::optional<ScoreEntry> entry;
  try {
    entry = backend_.EntryOfToken(token, time);
  } catch (const StorageError&) {
    return Refusal(500, "entry unavailable");
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

  VerifierVerdict verdict = verifier_->Verify(request.Body);
  switch (verdict.kind) {
    case VerifierVerdict::Kind::Reproduced:
      break;
    case VerifierVerdict::Kind::Busy:
      return Refusal(503, "busy");
    case VerifierVerdict::Kind::Failed:
      return Refusal(503, "not verified: " + verdict.detail);
    case VerifierVerdict::Kind::Unreadable:
      // The replay passed the same reader here, so the verifier's data or setup is at fault.
      return Refusal(503, "not verified: verifier cannot read the replay or its data");
    case VerifierVerdict::Kind::Different:
      return Refusal(409, "replay does not reproduce its result: " + verdict.detail);
  }
  if (verdict.score != entry->Score) return Refusal(409, "run reaches another score");

  RunStanding standing = RunStanding::Fresh;
  try {
    standing = backend_.MarkVerifiedRun(entry->Id, request.Body, run, time.UnixSeconds);
  } catch (const StorageError&) {
    return Refusal(500, "replay not stored");
  }
  if (standing != RunStanding::Fresh) return Refusal(409, StandingReason(standing));
  return Plain(200, "OK|verified|");
}

ServerResponse ScoreService::Download(std::string_view entryId) {
  std::int64_t id = 0;
  auto parsed = std::from_chars(entryId.data(), entryId.data() + entryId.size(), id);
  if (entryId.empty() || parsed.ptr != entryId.data() + entryId.size() || id <= 0) {
    return Refusal(400, "bad replay number");
  }
  std::optional<std::string> bytes;
  try {
    bytes = backend_.ReplayOf(id);
  } catch (const StorageError&) {
    return Refusal(500, "replay unavailable");
  }
  if (!bytes) return Refusal(404, "no such replay");
  ServerResponse response;
  response.ContentType = "application/octet-stream";
  response.Body = std::move(*bytes);
  response.Headers.emplace_back("Content-Disposition",
                                "attachment; filename=\"rivoltra-" + std::to_string(id) + ".rvr\"");
  return response;
}

}  // namespace rivoltra::scores
