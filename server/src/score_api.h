#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "score_store.h"

namespace rivoltra::scores {

// The open read API's JSON; its shape is documented in the server's README and kept stable:
// fields are only ever added.

struct ApiPage {
  std::string Table = "all";
  std::string Date;  // the day of a daily table; empty for the all-time table
  bool VerifiedOnly = false;
  std::size_t Offset = 0;
  std::size_t Limit = 100;
};

// {"table", "date", "verified", "offset", "limit", "entries": [entry with "rank", ...]}
std::string ScoresJson(const ApiPage& page, const std::vector<ScoreEntry>& entries,
                       std::string_view replayPrefix);
// {"id", "name", "country", "score", "submitted_at", "date", "verified", "replay"}
std::string EntryJson(const ScoreEntry& entry, std::string_view replayPrefix);
// {"error": reason}
std::string ErrorJson(std::string_view reason);
// A strong validator of a body: its 64-bit FNV-1a hash, quoted.
std::string EntityTag(std::string_view body);

}  // namespace rivoltra::scores
