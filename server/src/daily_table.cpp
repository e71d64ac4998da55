// Race tickets and the daily run's tables: issuing tickets, the ticket checks of a replay
// upload, and a day's table as a page and as the game's list.
#include <charconv>

#include "formats/daily_course.h"
#include "score_page.h"
#include "score_service.h"
#include "service_replies.h"

namespace rivoltra::scores {

namespace {

constexpr std::size_t kDailyListEntries = 10;
constexpr std::size_t kDailyPageEntries = 100;

std::string DailyPageAddress(std::uint32_t day) {
  return std::string(kDailyPagePath) + "?date=" + DateTextOf(day);
}

}  // namespace

std::string StandingReason(RunStanding standing) {
  switch (standing) {
    case RunStanding::Fresh:
      return {};
    case RunStanding::TicketSpent:
      return "not verified: ticket already used";
    case RunStanding::RunKnown:
      return "not verified: the same run was stored before";
    case RunStanding::AlreadyVerified:
      return "already verified";
  }
  return "not verified";
}

void ScoreService::UseTicketSecret(std::string secret) {
  std::lock_guard lock(signerMutex_);
  signer_ = std::make_unique<TicketSigner>(std::move(secret));
}

const TicketSigner& ScoreService::Signer() {
  std::lock_guard lock(signerMutex_);
  if (!signer_)
    signer_ = std::make_unique<TicketSigner>(backend_.TicketSecret(FreshTicketSecret()));
  return *signer_;
}

ServerResponse ScoreService::Ticket(const ServerRequest& request, std::string_view query,
                                    const ServiceTime& time) {
  if (!versionLimiter_.Allow(request.ClientAddress, time.Now)) {
    return Refusal(429, "too many requests");
  }
  auto parameters = ParseQuery(query);
  if (!parameters) return Refusal(400, "malformed query");
  TicketKind kind = TicketKind::Race;
  const std::uint32_t today = DayOfUnixSeconds(time.UnixSeconds);
  if (auto daily = parameters->find("daily"); daily != parameters->end()) {
    auto day = DayOfDateText(daily->second);
    if (!day) return Refusal(400, "daily takes a date YYYY-MM-DD");
    // Only today's course is handed out: a day's table holds runs started on that day.
    if (*day != today)
      return Refusal(409, "not today's course (today is " + DateTextOf(today) + ")");
    kind = TicketKind::Daily;
  }
  try {
    return Plain(200,
                 "OK|ticket|" + TicketText(Signer().Issue(kind, time.UnixSeconds, today)) + "|");
  } catch (const std::exception&) {
    return Refusal(503, "no ticket available");
  }
}

std::optional<ServerResponse> ScoreService::RefuseRun(const Replay& replay, const ServiceTime& time,
                                                      VerifiedRun& run) {
  std::optional<std::string> refused;
  try {
    refused = RefuseTicket(replay, Signer(), time.UnixSeconds, ticketRules_);
  } catch (const std::exception&) {
    return Refusal(503, "not verified: tickets unavailable");
  }
  if (refused) return Refusal(409, "not verified: " + *refused);
  const RaceTicket& ticket = *replay.Header.Ticket;
  run.TicketId = TicketId(ticket);
  run.TicketExpiresAt = TicketExpiry(ticket, ticketRules_);
  run.Fingerprint = RunFingerprint(replay);
  if (ticket.Kind == TicketKind::Daily) run.DailyDay = ticket.Day;
  RunStanding standing = RunStanding::Fresh;
  try {
    standing = backend_.StandingOf(run);
  } catch (const StorageError&) {
    return Refusal(500, "entry unavailable");
  }
  if (standing != RunStanding::Fresh) return Refusal(409, StandingReason(standing));
  return std::nullopt;
}

std::variant<std::uint32_t, ServerResponse> ScoreService::RequestedDay(std::string_view query,
                                                                       const ServiceTime& time) {
  auto parameters = ParseQuery(query);
  if (!parameters) return Refusal(400, "malformed query");
  const std::uint32_t today = DayOfUnixSeconds(time.UnixSeconds);
  auto date = parameters->find("date");
  if (date == parameters->end()) return today;
  auto day = DayOfDateText(date->second);
  if (!day) return Refusal(400, "date takes YYYY-MM-DD");
  if (*day > today) return Refusal(404, "that day has not come yet");
  return *day;
}

ServerResponse ScoreService::DailyPage(std::string_view query, const ServiceTime& time) {
  auto requested = RequestedDay(query, time);
  if (auto* refusal = std::get_if<ServerResponse>(&requested)) return *refusal;
  const std::uint32_t day = std::get<std::uint32_t>(requested);
  DailyPageView view;
  view.Date = DateTextOf(day);
  view.EarlierAddress = DailyPageAddress(day - 1);
  if (day < DayOfUnixSeconds(time.UnixSeconds)) view.LaterAddress = DailyPageAddress(day + 1);
  TableLinks links;
  links.WatchPage = playAddress_;
  try {
    return Html(RenderDailyPage(view, DailyVisible(day, 0, kDailyPageEntries, Bans(time)), links));
  } catch (const StorageError&) {
    return Refusal(500, "table unavailable");
  }
}

ServerResponse ScoreService::DailyList(std::string_view query, const ServiceTime& time) {
  auto requested = RequestedDay(query, time);
  if (auto* refusal = std::get_if<ServerResponse>(&requested)) return *refusal;
  const std::uint32_t day = std::get<std::uint32_t>(requested);
  std::vector<ScoreEntry> best;
  try {
    best = DailyVisible(day, 0, kDailyListEntries, Bans(time));
  } catch (const StorageError&) {
    return Refusal(500, "table unavailable");
  }
  // One line of "OK|daily|DATE|COUNT|", then one "NAME|COUNTRY|SCORE|ID|" line per run, best
  // first. Names and countries hold capitals and spaces only, never a bar.
  std::string body = "OK|daily|" + DateTextOf(day) + "|" + std::to_string(best.size()) + "|\n";
  for (const ScoreEntry& entry : best) {
    body += entry.Name + "|" + entry.Country + "|" + std::to_string(entry.Score) + "|" +
            std::to_string(entry.Id) + "|\n";
  }
  return Plain(200, std::move(body));
}

}  // namespace rivoltra::scores
