#include "score_api.h"

#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "score_page.h"

namespace rivoltra::scores {
namespace {

using Json = nlohmann::json;

Json EntryObject(const ScoreEntry& entry, std::string_view replayPrefix) {
  Json object = {{"id", entry.Id},
                 {"name", entry.Name},
                 {"country", entry.Country},
                 {"score", entry.Score},
                 {"submitted_at", entry.SubmittedAt},
                 {"date", FormatDate(entry.SubmittedAt)},
                 {"verified", entry.Verified}};
  object["replay"] =
      entry.Verified ? Json(std::string(replayPrefix) + std::to_string(entry.Id)) : Json(nullptr);
  return object;
}

// A row written into the database by other means may hold any bytes; they are shown replaced.
std::string Dumped(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string ScoresJson(const ApiPage& page, const std::vector<ScoreEntry>& entries,
                       std::string_view replayPrefix) {
  Json list = Json::array();
  std::size_t rank = page.Offset;
  for (const ScoreEntry& entry : entries) {
    Json object = EntryObject(entry, replayPrefix);
    object["rank"] = ++rank;
    list.push_back(std::move(object));
  }
  Json body = {{"table", page.Table},
               {"date", page.Date.empty() ? Json(nullptr) : Json(page.Date)},
               {"verified", page.VerifiedOnly},
               {"offset", page.Offset},
               {"limit", page.Limit},
               {"entries", std::move(list)}};
  return Dumped(body);
}

std::string EntryJson(const ScoreEntry& entry, std::string_view replayPrefix) {
  return Dumped(EntryObject(entry, replayPrefix));
}

std::string ErrorJson(std::string_view reason) {
  return Dumped(Json{{"error", std::string(reason)}});
}

std::string EntityTag(std::string_view body) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : body) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return "\"" + std::string(text) + "\"";
}

}  // namespace rivoltra::scores
