#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "score_store.h"

namespace rivoltra::scores {

// Text for an HTML element or a quoted attribute; control characters become U+FFFD so a stored
// name cannot break the layout either.
std::string EscapeHtml(std::string_view text);

// "YYYY-MM-DD" in UTC; empty for a time the calendar cannot hold.
std::string FormatDate(std::int64_t secondsSince1970);

// Where the table page links to.
struct TableLinks {
  std::string All = "/cgi/version.pl?prg=Rivoltra&show&type=0";
  std::string VerifiedOnly = "/cgi/version.pl?prg=Rivoltra&show&type=0&verified=1";
  std::string ReplayPrefix = "/cgi/replay.pl?get=";  // followed by the entry's id
  // The browser game's page; when set, the footer links the game and a verified entry's replay
  // can be watched there (followed by "?replay=" and the entry's id).
  std::string WatchPage;
};

// The online table: rank, name, country, score and date of each entry, best first. A verified
// entry carries a "verified" mark and a link to its replay; the footer links to the table of
// verified entries only, or back to all of them when `verifiedOnly` says this is that table.
std::string RenderScorePage(const std::vector<ScoreEntry>& best, const TableLinks& links = {},
                            bool verifiedOnly = false);

// The day a daily page shows and its neighbours' addresses (no later one for today).
struct DailyPageView {
  std::string Date;  // YYYY-MM-DD
  std::string EarlierAddress;
  std::string LaterAddress;
};

// A day's table of the daily run: each name's best verified run, best first, with the
// replay and watch links of the verified mark.
std::string RenderDailyPage(const DailyPageView& view, const std::vector<ScoreEntry>& best,
                            const TableLinks& links = {});

// The web site's home page, with a link to the online table, and one to the browser game when
// playAddress is not empty.
std::string RenderHomePage(std::string_view tableAddress, std::string_view playAddress = {});

}  // namespace rivoltra::scores
