#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace rivoltra::scores {

// What an operator can do to the table with `rivoltra-scores admin`. Every action is kept in
// the audit table with its time and reason; a hidden entry keeps its row and its replay as
// evidence, so hiding is undone by unhiding.

enum class BanKind { Name, Address };

struct Ban {
  std::int64_t Id = 0;
  BanKind Kind = BanKind::Name;
  // A name pattern (`*` any run, `?` one letter, matched after folding) or an address or range
  // ("203.0.113.7", "203.0.113.0/24", "2001:db8::/32").
  std::string Pattern;
  std::string Reason;
  std::int64_t CreatedAt = 0;
  std::optional<std::int64_t> ExpiresAt;  // none: for good
  std::optional<std::int64_t> LiftedAt;   // set when an operator lifted it
};

struct AuditRecord {
  std::int64_t Id = 0;
  std::int64_t At = 0;  // seconds since 1970, UTC
  std::string Action;   // hide, unhide, rename, ban, unban
  std::string Target;   // "entry 12", "ban 3", ...
  std::string Detail;   // what changed: the new name, the pattern and its end
  std::string Reason;
};

// An operator's search of the entries, hidden ones included.
struct EntrySearch {
  std::string NameContains;  // empty: any
  bool HiddenOnly = false;
  std::size_t Limit = 50;
  std::size_t Offset = 0;
};

// "YYYY-MM-DD HH:MM:SS UTC", for the audit log and the admin command.
inline std::string UtcTime(std::int64_t seconds) {
  std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return text;
}

// How long a ban lasts, as the audit log says it.
inline std::string BanSpan(const Ban& ban) {
  return ban.ExpiresAt ? "until " + UtcTime(*ban.ExpiresAt) : "for good";
}

// True while the ban applies at `now`.
inline bool BanActive(const Ban& ban, std::int64_t now) {
  return !ban.LiftedAt && (!ban.ExpiresAt || *ban.ExpiresAt > now);
}

}  // namespace rivoltra::scores
