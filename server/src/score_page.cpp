#include "score_page.h"

#include <ctime>

namespace rivoltra::scores {
namespace {

// Inline only: the page loads nothing from anywhere, and the content security policy the
// server sends forbids it to.
constexpr std::string_view kStyle = R"css(
:root{color-scheme:dark;--bg:#0f1117;--row:#1b1f2b;--line:#2c3142;--text:#eceef3;
--muted:#9aa1b3;--accent:#ff8a1f;--gold:#f5c542;--silver:#c9d1dc;--bronze:#d2894f}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%}
body{margin:0;min-height:100vh;color:var(--text);
background:radial-gradient(ellipse at 50% -10%,#3a2210 0,rgba(15,17,23,0) 60%),var(--bg);
font:16px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"Helvetica Neue",Arial,sans-serif}
main{max-width:860px;margin:0 auto;padding:36px 20px 48px}
header{display:flex;flex-wrap:wrap;align-items:baseline;justify-content:space-between;
gap:4px 16px;margin-bottom:18px;padding-bottom:12px;border-bottom:3px solid var(--accent)}
h1{margin:0;font-size:2.1rem;font-style:italic;letter-spacing:.14em;text-transform:uppercase}
h1 span{color:var(--accent)}
header p{margin:0;color:var(--muted);font-size:.8rem;letter-spacing:.22em;text-transform:uppercase}
table{width:100%;border-collapse:separate;border-spacing:0 6px}
th{padding:0 14px;color:var(--muted);font-size:.72rem;font-weight:600;letter-spacing:.14em;
text-align:left;text-transform:uppercase}
td{padding:12px 14px;background:var(--row)}
td:first-child{border-radius:10px 0 0 10px}
td:last-child{border-radius:0 10px 10px 0}
.rank{width:3.4rem;text-align:center}
.rank b{display:inline-flex;align-items:center;justify-content:center;min-width:2rem;
height:2rem;padding:0 6px;border-radius:1rem;background:var(--line);font-size:.9rem}
.r1 .rank b{background:var(--gold);color:#241a00}
.r2 .rank b{background:var(--silver);color:#161a20}
.r3 .rank b{background:var(--bronze);color:#221003}
.name{font-weight:700;letter-spacing:.05em;overflow-wrap:anywhere}
.country{color:var(--muted);overflow-wrap:anywhere}
.score{font-size:1.1rem;font-weight:800;color:var(--accent);text-align:right;
font-variant-numeric:tabular-nums}
.date{color:var(--muted);text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}
th.right{text-align:right}
td.empty{padding:44px 14px;border-radius:10px;color:var(--muted);text-align:center}
footer{margin-top:22px;color:var(--muted);font-size:.8rem;text-align:center}
a{color:var(--accent)}
@media (max-width:600px){
main{padding:22px 12px 32px}
h1{font-size:1.55rem}
thead{display:none}
table,tbody{display:block}
tr{display:grid;grid-template-columns:2.4rem minmax(0,1fr) auto;
grid-template-areas:"rank name score" "rank country date";align-items:center;column-gap:12px;
row-gap:2px;margin-bottom:8px;padding:10px 12px;border-radius:10px;background:var(--row)}
tr.none{display:block}
td{padding:0;background:none;border-radius:0!important}
.rank{grid-area:rank;width:auto}
.name{grid-area:name}
.country{grid-area:country;font-size:.85rem}
.score{grid-area:score}
.date{grid-area:date;font-size:.8rem}
}
)css";

// Inline styles: the style sheet, and so every page without a verified entry, stays as it was.
constexpr std::string_view kMarkStyle =
    "padding:2px 8px;border-radius:9px;background:#1d5c3b;color:#c9f7dc;"
    "font-size:.68rem;font-weight:700;letter-spacing:.1em;text-transform:uppercase;"
    "vertical-align:2px";
constexpr std::string_view kReplayLinkStyle =
    "margin-left:8px;font-size:.75rem;font-weight:400;letter-spacing:0;white-space:nowrap";

// The mark and its link wrap to the next line together, never apart.
constexpr std::string_view kProofStyle = "display:inline-block;margin-left:10px;white-space:nowrap";

void AppendVerifiedMark(std::string& page, const ScoreEntry& entry, const TableLinks& links) {
  page += "<span class=\"proof\" style=\"";
  page += kProofStyle;
  page += "\"><span class=\"verified\" style=\"";
  page += kMarkStyle;
  page +=
      "\" title=\"The replay of this run was played again and reached this score\">"
      "\xE2\x9C\x93 verified</span><a class=\"replay\" style=\"";
  page += kReplayLinkStyle;
  page += "\" href=\"";
  page += EscapeHtml(links.ReplayPrefix + std::to_string(entry.Id));
  page += "\" download=\"rivoltra-" + std::to_string(entry.Id) + ".rvr\">replay</a>";
  if (!links.WatchPage.empty()) {
    page += "<a class=\"watch\" style=\"";
    page += kReplayLinkStyle;
    page += "\" href=\"";
    page += EscapeHtml(links.WatchPage + "?replay=" + std::to_string(entry.Id));
    page += "\">watch</a>";
  }
  page += "</span>";
}

constexpr std::string_view kTableHead =
    "<table>\n<thead><tr><th class=\"rank\">#</th><th>Name</th><th>Country</th>"
    "<th class=\"right\">Score</th><th class=\"right\">Date</th></tr></thead>\n<tbody>\n";

void AppendRows(std::string& page, const std::vector<ScoreEntry>& best, const TableLinks& links) {
  std::size_t rank = 0;
  for (const ScoreEntry& entry : best) {
    ++rank;
    std::string date = FormatDate(entry.SubmittedAt);
    page += "<tr";
    if (rank <= 3) page += " class=\"r" + std::to_string(rank) + "\"";
    page += "><td class=\"rank\"><b>" + std::to_string(rank) + "</b></td><td class=\"name\">";
    page += EscapeHtml(entry.Name);
    if (entry.Verified) AppendVerifiedMark(page, entry, links);
    page += "</td><td class=\"country\">";
    page += EscapeHtml(entry.Country);
    page += "</td><td class=\"score\">" + std::to_string(entry.Score) + "</td>";
    page += "<td class=\"date\"><time datetime=\"" + date + "\">" + date + "</time></td></tr>\n";
  }
}

void AppendHead(std::string& page, std::string_view title) {
  page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  page += EscapeHtml(title);
  page += "</title>\n<style>";
  page += kStyle;
  page += "</style>\n</head>\n";
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    auto code = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        if (code < 0x20 || code == 0x7F) {
          escaped += "\xEF\xBF\xBD";
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

std::string FormatDate(std::int64_t secondsSince1970) {
  std::time_t time = static_cast<std::time_t>(secondsSince1970);
  std::tm calendar{};
  if (static_cast<std::int64_t>(time) != secondsSince1970 ||
      gmtime_r(&time, &calendar) == nullptr || calendar.tm_year < -1900 ||
      calendar.tm_year > 9999 - 1900) {
    return {};
  }
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &calendar);
  return text;
}

std::string RenderScorePage(const std::vector<ScoreEntry>& best, const TableLinks& links,
                            bool verifiedOnly) {
  std::string page;
  page.reserve(4096 + best.size() * 256);
  AppendHead(page, "Rivoltra \xE2\x80\x94 Best scores");
  page += "<body>\n<main>\n<header><h1>Rivolt<span>ra</span></h1><p>Best scores</p></header>\n";
  page += kTableHead;
  if (best.empty() && verifiedOnly) {
    page +=
        "<tr class=\"none\"><td class=\"empty\" colspan=\"5\">No verified scores yet.</td></tr>\n";
  } else if (best.empty()) {
    page +=
        "<tr class=\"none\"><td class=\"empty\" colspan=\"5\">No scores yet. "
        "Win a place in the game's table and send it from there.</td></tr>\n";
  }
  AppendRows(page, best, links);
  page += "</tbody>\n</table>\n<footer>Dates are in UTC. <a href=\"";
  page += EscapeHtml(verifiedOnly ? links.All : links.VerifiedOnly);
  page += verifiedOnly ? "\">All scores</a>" : "\">Verified scores only</a>";
  if (!links.WatchPage.empty()) {
    page += " <a class=\"play\" href=\"";
    page += EscapeHtml(links.WatchPage);
    page += "\">Play Rivoltra in the browser, on a phone too</a>";
  }
  page += "</footer>\n</main>\n</body>\n</html>\n";
  return page;
}

std::string RenderDailyPage(const DailyPageView& view, const std::vector<ScoreEntry>& best,
                            const TableLinks& links) {
  std::string page;
  page.reserve(4096 + best.size() * 256);
  AppendHead(page, "Rivoltra \xE2\x80\x94 Daily run " + view.Date);
  page += "<body>\n<main>\n<header><h1>Rivolt<span>ra</span></h1><p>Daily run, ";
  page += EscapeHtml(view.Date);
  page += "</p></header>\n";
  page += kTableHead;
  if (best.empty()) {
    page +=
        "<tr class=\"none\"><td class=\"empty\" colspan=\"5\">No verified runs of this day "
        "yet.</td></tr>\n";
  }
  AppendRows(page, best, links);
  page += "</tbody>\n</table>\n<footer>Each name's best verified run of the day (UTC). ";
  page += "<a class=\"earlier\" href=\"" + EscapeHtml(view.EarlierAddress) + "\">Day before</a>";
  if (!view.LaterAddress.empty()) {
    page += " <a class=\"later\" href=\"" + EscapeHtml(view.LaterAddress) + "\">Day after</a>";
  }
  page += " <a href=\"" + EscapeHtml(links.All) + "\">All scores</a>";
  page += "</footer>\n</main>\n</body>\n</html>\n";
  return page;
}

std::string RenderHomePage(std::string_view tableAddress, std::string_view playAddress) {
  std::string page;
  AppendHead(page, "Rivoltra");
  page +=
      "<body>\n<main>\n<header><h1>Rivolt<span>ra</span></h1><p>Top-down arcade racing</p>"
      "</header>\n<p>Four cars, three lanes, one clock. Dodge the walls, the spikes and the "
      "rabbits, grab the turbo and the gun, and drive further than anyone else.</p>\n"
      "<p><a href=\"";
  page += EscapeHtml(tableAddress);
  page += "\">See the best scores</a></p>\n";
  if (!playAddress.empty()) {
    page += "<p><a href=\"";
    page += EscapeHtml(playAddress);
    page += "\">Play in the browser</a></p>\n";
  }
  page += "</main>\n</body>\n</html>\n";
  return page;
}

}  // namespace rivoltra::scores
