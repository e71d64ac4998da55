// The open read API of the score service: /api/scores and /api/entry as JSON, cacheable and
// readable from any origin.
#include <charconv>

#include "formats/daily_course.h"
#include "score_api.h"
#include "score_service.h"

namespace rivoltra::scores {
namespace {

constexpr std::string_view kReplayPrefix = "/cgi/replay.pl?get=";
// Answers may be a little stale; a page of fans' bots asking every second costs one query each.
constexpr std::string_view kApiCachePolicy = "public, max-age=10";

using Parameters = std::map<std::string, std::string, std::less<>>;

ServerResponse Json(int status, std::string body) {
  ServerResponse response;
  response.Status = status;
  response.ContentType = "application/json";
  response.Body = std::move(body);
  response.Headers.emplace_back("Access-Control-Allow-Origin", "*");
  return response;
}

ServerResponse JsonError(int status, std::string_view reason) {
  return Json(status, ErrorJson(reason));
}

// A cacheable answer: tagged, and 304 without a body when the client holds the same one.
ServerResponse Cacheable(const ServerRequest& request, std::string body) {
  std::string tag = EntityTag(body);
  const std::string* held = request.Header("if-none-match");
  ServerResponse response = Json(200, std::move(body));
  if (held != nullptr && *held == tag) {
    response.Status = 304;
    response.Body.clear();
  }
  response.Headers.emplace_back("Cache-Control", std::string(kApiCachePolicy));
  response.Headers.emplace_back("ETag", tag);
  return response;
}

// A whole number from 0 to `high`, or nullopt.
std::optional<std::size_t> Number(const Parameters& parameters, std::string_view name,
                                  std::size_t fallback, std::size_t high) {
  auto found = parameters.find(name);
  if (found == parameters.end()) return fallback;
  const std::string& text = found->second;
  std::size_t value = 0;
  auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

ServerResponse ScoreService::Api(const ServerRequest& request, std::string_view path,
                                 std::string_view query, const ServiceTime& time) {
  auto parameters = ParseQuery(query);
  if (!parameters) return JsonError(400, "malformed query");
  if (path == "/api/scores") return ApiScores(request, *parameters, time);
  if (path == "/api/entry") return ApiEntry(request, *parameters, time);
  return JsonError(404, "no such API");
}

ServerResponse ScoreService::ApiScores(const ServerRequest& request, const Parameters& parameters,
                                       const ServiceTime& time) {
  for (const auto& [name, value] : parameters) {
    if (name != "table" && name != "date" && name != "verified" && name != "limit" &&
        name != "offset") {
      return JsonError(400, "unknown parameter " + name);
    }
  }
  ApiPage page;
  if (auto table = parameters.find("table"); table != parameters.end()) page.Table = table->second;
  if (page.Table != "all" && page.Table != "daily") {
    return JsonError(400, "table must be all or daily");
  }
  std::optional<std::uint32_t> day;
  if (page.Table == "daily") {
    // Without a date, today's table (UTC), as the game's list answers.
    const std::uint32_t today = DayOfUnixSeconds(time.UnixSeconds);
    auto date = parameters.find("date");
    day = date == parameters.end() ? std::optional(today) : DayOfDateText(date->second);
    if (!day) return JsonError(400, "date takes YYYY-MM-DD");
    if (*day > today) return JsonError(404, "that day has not come yet");
    page.Date = DateTextOf(*day);
  } else if (parameters.count("date") != 0) {
    return JsonError(400, "date is for the daily table");
  }
  if (auto verified = parameters.find("verified"); verified != parameters.end()) {
    if (verified->second != "0" && verified->second != "1") {
      return JsonError(400, "verified must be 0 or 1");
    }
    page.VerifiedOnly = verified->second == "1";
  }
  auto limit = Number(parameters, "limit", rules_.ApiMaxLimit, rules_.ApiMaxLimit);
  auto offset = Number(parameters, "offset", 0, rules_.ApiMaxOffset);
  if (!limit || *limit == 0) {
    return JsonError(400, "limit must be 1 to " + std::to_string(rules_.ApiMaxLimit));
  }
  if (!offset) return JsonError(400, "offset must be 0 to " + std::to_string(rules_.ApiMaxOffset));
  page.Limit = *limit;
  page.Offset = *offset;
  try {
    // Every run of a day's table is verified, so `verified` changes nothing there.
    auto entries =
        day ? DailyVisible(*day, page.Offset, page.Limit, Bans(time))
            : Visible(page.Offset, page.Limit,
                      page.VerifiedOnly ? EntryFilter::VerifiedOnly : EntryFilter::All, Bans(time));
    return Cacheable(request, ScoresJson(page, entries, kReplayPrefix));
  } catch (const StorageError&) {
    if (metrics_ != nullptr) metrics_->CountStorageError();
    return JsonError(500, "table unavailable");
  }
}

ServerResponse ScoreService::ApiEntry(const ServerRequest& request, const Parameters& parameters,
                                      const ServiceTime& time) {
  auto id = parameters.find("id");
  std::int64_t number = 0;
  if (id == parameters.end() ||
      std::from_chars(id->second.data(), id->second.data() + id->second.size(), number).ptr !=
          id->second.data() + id->second.size() ||
      id->second.empty() || number <= 0 || parameters.size() != 1) {
    return JsonError(400, "expected id=NUMBER");
  }
  try {
    std::optional<ScoreEntry> entry = backend_.Entry(number);
    if (!entry || !Shown(*entry, Bans(time))) return JsonError(404, "no such entry");
    return Cacheable(request, EntryJson(*entry, kReplayPrefix));
  } catch (const StorageError&) {
    if (metrics_ != nullptr) metrics_->CountStorageError();
    return JsonError(500, "entry unavailable");
  }
}

}  // namespace rivoltra::scores
