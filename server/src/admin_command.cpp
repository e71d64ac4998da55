#include "admin_command.h"

#include <chrono>
#include <functional>
#include <iomanip>
#include <map>
#include <ostream>

#include "ban_list.h"
#include "open_storage.h"
#include "score_page.h"
#include "score_service.h"
#include "server_options.h"

namespace rivoltra::scores {
namespace {

std::int64_t UnixNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The command's words after its options are taken out: --db, --reason, --for, --limit,
// --offset and --hidden.
struct Command {
  std::string Database;
  std::vector<std::string> Words;
  std::string Reason;
  std::optional<long long> ForSeconds;
  std::size_t Limit = 50;
  std::size_t Offset = 0;
  bool HiddenOnly = false;
};

std::optional<std::size_t> Count(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::size_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return value;
}

std::optional<Command> ParseCommand(const std::vector<std::string>& arguments,
                                    const std::string& defaultDatabase) {
  Command command;
  command.Database = defaultDatabase;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    bool hasValue = i + 1 < arguments.size();
    if (word == "--hidden") {
      command.HiddenOnly = true;
    } else if (word == "--db" && hasValue) {
      command.Database = arguments[++i];
    } else if (word == "--reason" && hasValue) {
      command.Reason = arguments[++i];
    } else if (word == "--for" && hasValue) {
      command.ForSeconds = ParseDuration(arguments[++i]);
      if (!command.ForSeconds) return std::nullopt;
    } else if ((word == "--limit" || word == "--offset") && hasValue) {
      auto value = Count(arguments[++i]);
      if (!value) return std::nullopt;
      (word == "--limit" ? command.Limit : command.Offset) = *value;
    } else if (word.rfind("--", 0) == 0) {
      return std::nullopt;
    } else {
      command.Words.push_back(word);
    }
  }
  return command;
}

std::optional<std::int64_t> EntryNumber(const std::string& text) {
  auto value = Count(text);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

void PrintEntries(std::ostream& out, const std::vector<ScoreEntry>& entries) {
  out << std::left << std::setw(8) << "ID" << std::setw(26) << "NAME" << std::setw(10) << "SCORE"
      << std::setw(12) << "DATE"
      << "STATE\n";
  for (const ScoreEntry& entry : entries) {
    std::string state = entry.Verified ? "verified" : "";
    if (!entry.HiddenReason.empty()) {
      state += (state.empty() ? "" : ", ") + std::string("hidden: ") + entry.HiddenReason;
    }
    if (state.empty()) state = "-";
    out << std::setw(8) << entry.Id << std::setw(26) << ("\"" + entry.Name + "\"") << std::setw(10)
        << entry.Score << std::setw(12) << FormatDate(entry.SubmittedAt) << state << '\n';
  }
}

void PrintBans(std::ostream& out, const std::vector<Ban>& bans, std::int64_t now) {
  for (const Ban& ban : bans) {
    std::string state = ban.LiftedAt           ? "lifted " + UtcTime(*ban.LiftedAt)
                        : !BanActive(ban, now) ? "ended " + UtcTime(*ban.ExpiresAt)
                        : ban.ExpiresAt        ? "until " + UtcTime(*ban.ExpiresAt)
                                               : "for good";
    out << "ban " << ban.Id << ": " << (ban.Kind == BanKind::Name ? "name " : "address ")
        << ban.Pattern << ", " << state << ", since " << UtcTime(ban.CreatedAt) << ": "
        << ban.Reason << '\n';
  }
}

// One command against the open storage; 0 done, 1 nothing to change, 2 a bad command.
int Act(const Command& command, ScoreBackend& backend, std::ostream& out, std::ostream& err) {
  const std::vector<std::string>& words = command.Words;
  const std::string& verb = words.front();
  std::int64_t now = UnixNow();
  auto needReason = [&]() {
    if (!command.Reason.empty()) return true;
    err << "rivoltra-scores admin: " << verb << " needs --reason TEXT (kept in the log)\n";
    return false;
  };
  auto done = [&](bool changed, const std::string& what) {
    if (!changed) {
      err << "rivoltra-scores admin: " << what << ": nothing to change\n";
      return 1;
    }
    out << what << '\n';
    return 0;
  };

  if (verb == "list" || verb == "search") {
    if ((verb == "list") != (words.size() == 1) || words.size() > 2) return 2;
    EntrySearch search;
    search.NameContains = verb == "search" ? words[1] : "";
    search.HiddenOnly = command.HiddenOnly;
    search.Limit = command.Limit;
    search.Offset = command.Offset;
    PrintEntries(out, backend.Search(search));
    return 0;
  }
  if ((verb == "hide" || verb == "unhide") && words.size() == 2) {
    auto id = EntryNumber(words[1]);
    if (!id || !needReason()) return 2;
    bool changed = verb == "hide" ? backend.Hide(*id, command.Reason, now)
                                  : backend.Unhide(*id, command.Reason, now);
    return done(changed, (verb == "hide" ? "hid entry " : "unhid entry ") + words[1]);
  }
  if (verb == "rename" && words.size() == 3) {
    auto id = EntryNumber(words[1]);
    if (!id || !needReason()) return 2;
    ScoreReport report;
    report.Type = std::string(kScoreMessageType);
    report.Key = kScoreKeyLetter;
    report.PlayerName = words[2];
    report.ServerField = "-";
    if (auto refusal = RefuseReport(report, EntryRules{})) {
      err << "rivoltra-scores admin: the new name: " << *refusal << '\n';
      return 2;
    }
    return done(backend.Rename(*id, report.PlayerName, command.Reason, now),
                "renamed entry " + words[1] + " to \"" + report.PlayerName + "\"");
  }
  if (verb == "ban" && words.size() == 3 && (words[1] == "name" || words[1] == "address")) {
    if (!needReason()) return 2;
    Ban ban;
    ban.Kind = words[1] == "name" ? BanKind::Name : BanKind::Address;
    ban.Pattern = words[2];
    ban.Reason = command.Reason;
    if (command.ForSeconds) ban.ExpiresAt = now + *command.ForSeconds;
    if (ban.Kind == BanKind::Address && !ValidAddressPattern(ban.Pattern)) {
      err << "rivoltra-scores admin: " << ban.Pattern << ": not an address or range\n";
      return 2;
    }
    std::int64_t id = backend.AddBan(ban, now);
    out << "ban " << id << ": " << words[1] << ' ' << ban.Pattern << ' ' << BanSpan(ban) << '\n';
    return 0;
  }
  if (verb == "unban" && words.size() == 2) {
    auto id = EntryNumber(words[1]);
    if (!id || !needReason()) return 2;
    return done(backend.LiftBan(*id, command.Reason, now), "lifted ban " + words[1]);
  }
  if (verb == "bans" && words.size() == 1) {
    PrintBans(out, backend.Bans(), now);
    return 0;
  }
  if (verb == "log" && words.size() == 1) {
    for (const AuditRecord& record : backend.AuditLog(command.Limit)) {
      out << UtcTime(record.At) << "  " << record.Action << ' ' << record.Target
          << (record.Detail.empty() ? "" : " " + record.Detail) << ": " << record.Reason << '\n';
    }
    return 0;
  }
  return 2;
}

int Backup(const Command& command, bool restore, std::ostream& out, std::ostream& err) {
  if (command.Words.size() != 2) return 2;
  const std::string& file = command.Words[1];
  if (IsPostgresAddress(command.Database)) {
    err << "rivoltra-scores: a PostgreSQL database is backed up with pg_dump -Fc -f FILE ADDRESS "
           "and restored with pg_restore --clean --if-exists -d ADDRESS FILE (see the README)\n";
    return 2;
  }
  if (restore) {
    // Both are opened (and checked) first: a damaged backup never overwrites the table.
    ScoreStore backup(file);
    { ScoreStore target(command.Database); }
    backup.BackupTo(command.Database);
    out << "restored " << command.Database << " from " << file << '\n';
  } else {
    ScoreStore table(command.Database);
    table.BackupTo(file);
    out << "backed up " << command.Database << " to " << file << '\n';
  }
  return 0;
}

}  // namespace

const char* const kAdminUsage =
    "usage: rivoltra-scores admin [--db FILE|URL] COMMAND\n"
    "  list [--hidden] [--limit N] [--offset N]   entries best first, hidden ones marked\n"
    "  search TEXT [--hidden] [--limit N]          entries whose name holds TEXT\n"
    "  hide ID --reason TEXT                       take an entry off every page (kept)\n"
    "  unhide ID --reason TEXT\n"
    "  rename ID NEW-NAME --reason TEXT\n"
    "  ban name PATTERN --reason TEXT [--for 7d]   * any letters, ? one; for good without --for\n"
    "  ban address ADDR[/BITS] --reason TEXT [--for 12h]\n"
    "  unban BAN-ID --reason TEXT\n"
    "  bans                                        every ban, in force or not\n"
    "  log [--limit N]                             the audit log, newest first\n"
    "usage: rivoltra-scores backup [--db FILE] COPY    a consistent copy while servers write\n"
    "       rivoltra-scores restore [--db FILE] COPY   the table as the copy holds it\n";

std::optional<long long> ParseDuration(const std::string& text) {
  static const std::map<char, long long> kUnits = {{'s', 1}, {'m', 60}, {'h', 3600}, {'d', 86400}};
  if (text.size() < 2) return std::nullopt;
  auto unit = kUnits.find(text.back());
  auto count = Count(text.substr(0, text.size() - 1));
  if (unit == kUnits.end() || !count || *count == 0) return std::nullopt;
  return static_cast<long long>(*count) * unit->second;
}

int RunAdminCommand(const std::vector<std::string>& arguments, const std::string& defaultDatabase,
                    std::ostream& out, std::ostream& err) {
  auto command = ParseCommand(arguments, defaultDatabase);
  if (!command || command->Words.empty()) {
    err << kAdminUsage;
    return 2;
  }
  const std::string& verb = command->Words.front();
  try {
    int status = 0;
    if (verb == "backup" || verb == "restore") {
      status = Backup(*command, verb == "restore", out, err);
    } else if (verb == "admin" && command->Words.size() > 1) {
      command->Words.erase(command->Words.begin());
      Storage storage = OpenStorage(command->Database, TokenStore::Limits{}, 1);
      status = Act(*command, *storage.Backend, out, err);
    } else {
      status = 2;
    }
    if (status == 2) err << kAdminUsage;
    return status;
  } catch (const std::exception& error) {
    err << "rivoltra-scores: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace rivoltra::scores
