#include "score_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>

#include "sqlite_statement.h"

namespace rivoltra::scores {
namespace {

// Schema versions (PRAGMA user_version):
//   1  scores(id, name, country, score, submitted_at)
//   2  scores.verified; replays(entry_id, bytes) holds the replay of each verified entry
//   4  hidden_entries, bans and audit_log for the operator's moderation
//   5  race tickets: ticket_secret(secret), spent_tickets(ticket_id, expires_at),
//      verified_runs(fingerprint, entry_id); daily_runs(day, name, country, score,
//      submitted_at, entry_id), each name's best verified run of a day
constexpr int kSchemaVersion = 5;

// The first bytes of every SQLite file; anything else at the start is not ours to open.
constexpr char kFileHeader[] = "SQLite format 3";

// Throws when the file exists, is not empty and does not start like a database, so random
// bytes are named as such instead of failing later with a puzzling message.
void RefuseForeignFile(const std::string& path) {
  if (path.empty() || path == ":memory:") return;
  std::ifstream file(path, std::ios::binary);
  if (!file) return;
  char header[sizeof kFileHeader] = {};
  file.read(header, sizeof header);
  std::streamsize got = file.gcount();
  if (got == 0) return;
  if (got < static_cast<std::streamsize>(sizeof header) ||
      std::memcmp(header, kFileHeader, sizeof header) != 0) {
    throw StorageError(path + ": not a database (no SQLite header)");
  }
}

}  // namespace

ScoreStore::ScoreStore(const std::string& path) : path_(path) {
  RefuseForeignFile(path);
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    std::string message = Where("open");
    sqlite3_close(db_);
    db_ = nullptr;
    throw StorageError(message);
  }
  sqlite3_busy_timeout(db_, 2000);
  try {
    Statement version;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("read the schema version"));
    }
    version.reset(raw);
    int step = sqlite3_step(raw);
    if (step != SQLITE_ROW) throw StorageError(Damaged(step));
    int found = sqlite3_column_int(raw, 0);
    // A statement left open holds a read transaction, and the journal mode cannot change in one.
    version.reset();
    CheckIntegrity();
    if (found > kSchemaVersion || found < 0) {
      throw StorageError(path_ + ": schema version " + std::to_string(found) +
                         " is newer than this server (" + std::to_string(kSchemaVersion) + ")");
    }
    Execute("PRAGMA journal_mode=WAL");
    Migrate(found);
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

ScoreStore::~ScoreStore() { sqlite3_close(db_); }

void ScoreStore::Migrate(int found) {
  if (found == kSchemaVersion) return;
  // One writer at a time: two servers opening an old file together migrate it once.
  Execute("BEGIN IMMEDIATE");
  try {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("read the schema version"));
    }
    Statement version(raw);
    if (sqlite3_step(raw) != SQLITE_ROW) throw StorageError(Where("read the schema version"));
    found = sqlite3_column_int(raw, 0);
    version.reset();
    if (found < 1) {
      Execute(
          "CREATE TABLE IF NOT EXISTS scores ("
          "  id INTEGER PRIMARY KEY,"
          "  name TEXT NOT NULL,"
          "  country TEXT NOT NULL,"
          "  score INTEGER NOT NULL,"
          "  submitted_at INTEGER NOT NULL)");
      Execute("CREATE INDEX IF NOT EXISTS scores_rank ON scores (score DESC, submitted_at, id)");
    }
    if (found < 2) {
      Execute("ALTER TABLE scores ADD COLUMN verified INTEGER NOT NULL DEFAULT 0");
      Execute(
          "CREATE INDEX IF NOT EXISTS scores_verified_rank "
          "ON scores (verified, score DESC, submitted_at, id)");
      Execute(
          "CREATE TABLE IF NOT EXISTS replays ("
          "  entry_id INTEGER PRIMARY KEY REFERENCES scores (id),"
          "  bytes BLOB NOT NULL)");
    }
    if (found < 4) {
      Execute(
          "CREATE TABLE IF NOT EXISTS hidden_entries ("
          "  entry_id INTEGER PRIMARY KEY REFERENCES scores (id),"
          "  reason TEXT NOT NULL,"
          "  hidden_at INTEGER NOT NULL)");
      Execute(
          "CREATE TABLE IF NOT EXISTS bans ("
          "  id INTEGER PRIMARY KEY,"
          "  kind TEXT NOT NULL CHECK (kind IN ('name', 'address')),"
          "  pattern TEXT NOT NULL,"
          "  reason TEXT NOT NULL,"
          "  created_at INTEGER NOT NULL,"
          "  expires_at INTEGER,"
          "  lifted_at INTEGER)");
      Execute(
          "CREATE TABLE IF NOT EXISTS audit_log ("
          "  id INTEGER PRIMARY KEY,"
          "  at INTEGER NOT NULL,"
          "  action TEXT NOT NULL,"
          "  target TEXT NOT NULL,"
          "  detail TEXT NOT NULL,"
          "  reason TEXT NOT NULL)");
    }
    if (found < 5) {
      Execute("CREATE TABLE IF NOT EXISTS ticket_secret (secret BLOB NOT NULL)");
      Execute(
          "CREATE TABLE IF NOT EXISTS spent_tickets ("
          "  ticket_id TEXT PRIMARY KEY,"
          "  expires_at INTEGER NOT NULL)");
      Execute("CREATE INDEX IF NOT EXISTS spent_tickets_age ON spent_tickets (expires_at)");
      Execute(
          "CREATE TABLE IF NOT EXISTS verified_runs ("
          "  fingerprint TEXT PRIMARY KEY,"
          "  entry_id INTEGER NOT NULL)");
      Execute(
          "CREATE TABLE IF NOT EXISTS daily_runs ("
          "  day INTEGER NOT NULL,"
          "  name TEXT NOT NULL,"
          "  country TEXT NOT NULL,"
          "  score INTEGER NOT NULL,"
          "  submitted_at INTEGER NOT NULL,"
          "  entry_id INTEGER NOT NULL,"
          "  PRIMARY KEY (day, name))");
      Execute(
          "CREATE INDEX IF NOT EXISTS daily_runs_rank "
          "ON daily_runs (day, score DESC, submitted_at, entry_id)");
    }
    Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::string ScoreStore::Damaged(int code) const {
  if (code == SQLITE_NOTADB) return path_ + ": not a database (" + sqlite3_errmsg(db_) + ")";
  return path_ + ": damaged: " + sqlite3_errmsg(db_);
}

void ScoreStore::CheckIntegrity() {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, "PRAGMA quick_check(1)", -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Damaged(sqlite3_errcode(db_)));
  }
  Statement check(raw);
  int step = sqlite3_step(raw);
  if (step != SQLITE_ROW) throw StorageError(Damaged(step));
  std::string verdict = ColumnText(raw, 0);
  if (verdict == "ok") return;
  // The check's report spans lines; one line keeps the log readable.
  for (char& c : verdict) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  throw StorageError(path_ + ": damaged: " + verdict);
}

std::string ScoreStore::Where(const char* action) const {
  const char* detail = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
  return path_ + ": cannot " + action + ": " + detail;
}

void ScoreStore::Execute(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = path_ + ": " + sql + ": " + (error != nullptr ? error : "failed");
    sqlite3_free(error);
    throw StorageError(message);
  }
}

std::int64_t ScoreStore::Add(const ScoreEntry& entry) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "INSERT INTO scores (name, country, score, submitted_at) "
                         "VALUES (?1, ?2, ?3, ?4)",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the insert"));
  }
  Statement insert(raw);
  sqlite3_bind_text(raw, 1, entry.Name.data(), static_cast<int>(entry.Name.size()),
                    SQLITE_TRANSIENT);
  sqlite3_bind_text(raw, 2, entry.Country.data(), static_cast<int>(entry.Country.size()),
                    SQLITE_TRANSIENT);
  sqlite3_bind_int(raw, 3, entry.Score);
  sqlite3_bind_int64(raw, 4, entry.SubmittedAt);
  if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("store a score"));
  return sqlite3_last_insert_rowid(db_);
}

std::vector<ScoreEntry> ScoreStore::Best(std::size_t limit, EntryFilter filter,
                                         std::size_t offset) {
  std::lock_guard lock(mutex_);
  // Hidden entries stay in the file as evidence and are left out of every ranking.
  const char* sql = filter == EntryFilter::VerifiedOnly
                        ? "SELECT name, country, score, submitted_at, id, verified FROM scores "
                          "WHERE verified = 1 AND id NOT IN (SELECT entry_id FROM hidden_entries) "
                          "ORDER BY score DESC, submitted_at, id LIMIT ?1 OFFSET ?2"
                        : "SELECT name, country, score, submitted_at, id, verified FROM scores "
                          "WHERE id NOT IN (SELECT entry_id FROM hidden_entries) "
                          "ORDER BY score DESC, submitted_at, id LIMIT ?1 OFFSET ?2";
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the ranking"));
  }
  Statement select(raw);
  auto capped = static_cast<sqlite3_int64>(
      std::min<std::size_t>(limit, static_cast<std::size_t>(std::numeric_limits<int>::max())));
  sqlite3_bind_int64(raw, 1, capped);
  sqlite3_bind_int64(raw, 2,
                     static_cast<sqlite3_int64>(std::min<std::size_t>(
                         offset, static_cast<std::size_t>(std::numeric_limits<int>::max()))));

  std::vector<ScoreEntry> best;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) best.push_back(EntryOfRow(raw));
  if (step != SQLITE_DONE) throw StorageError(Where("read the ranking"));
  return best;
}

std::optional<ScoreEntry> ScoreStore::Entry(std::int64_t id) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT s.name, s.country, s.score, s.submitted_at, s.id, s.verified, "
                         "h.reason FROM scores s LEFT JOIN hidden_entries h ON h.entry_id = s.id "
                         "WHERE s.id = ?1",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the entry query"));
  }
  Statement select(raw);
  sqlite3_bind_int64(raw, 1, id);
  int step = sqlite3_step(raw);
  if (step == SQLITE_DONE) return std::nullopt;
  if (step != SQLITE_ROW) throw StorageError(Where("read an entry"));
  return EntryOfRow(raw);
}

bool ScoreStore::MarkVerified(std::int64_t id, std::string_view replay) {
  std::lock_guard lock(mutex_);
  Execute("BEGIN IMMEDIATE");
  try {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "UPDATE scores SET verified = 1 WHERE id = ?1 AND verified = 0", -1,
                           &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the verified mark"));
    }
    Statement mark(raw);
    sqlite3_bind_int64(raw, 1, id);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("mark an entry verified"));
    if (sqlite3_changes(db_) != 1) {
      mark.reset();
      Execute("ROLLBACK");
      return false;
    }
    mark.reset();
    if (sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO replays (entry_id, bytes) VALUES (?1, ?2)",
                           -1, &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the replay insert"));
    }
    Statement insert(raw);
    sqlite3_bind_int64(raw, 1, id);
    sqlite3_bind_blob64(raw, 2, replay.data(), replay.size(), SQLITE_TRANSIENT);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("store a replay"));
    insert.reset();
    Execute("COMMIT");
    return true;
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::optional<std::string> ScoreStore::ReplayOf(std::int64_t id) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT bytes FROM replays WHERE entry_id = ?1 "
                         "AND entry_id NOT IN (SELECT entry_id FROM hidden_entries)",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the replay query"));
  }
  Statement select(raw);
  sqlite3_bind_int64(raw, 1, id);
  int step = sqlite3_step(raw);
  if (step == SQLITE_DONE) return std::nullopt;
  if (step != SQLITE_ROW) throw StorageError(Where("read a replay"));
  const void* bytes = sqlite3_column_blob(raw, 0);
  int size = sqlite3_column_bytes(raw, 0);
  if (bytes == nullptr || size <= 0) return std::string();
  return std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

std::size_t ScoreStore::Count() {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM scores", -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the count"));
  }
  Statement count(raw);
  if (sqlite3_step(raw) != SQLITE_ROW) throw StorageError(Where("count the scores"));
  return static_cast<std::size_t>(sqlite3_column_int64(raw, 0));
}

RunStanding ScoreStore::StandingLocked(const VerifiedRun& run) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT (SELECT COUNT(*) FROM spent_tickets WHERE ticket_id = ?1), "
                         "(SELECT COUNT(*) FROM verified_runs WHERE fingerprint = ?2)",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the run check"));
  }
  Statement select(raw);
  sqlite3_bind_text(raw, 1, run.TicketId.data(), static_cast<int>(run.TicketId.size()),
                    SQLITE_TRANSIENT);
  sqlite3_bind_text(raw, 2, run.Fingerprint.data(), static_cast<int>(run.Fingerprint.size()),
                    SQLITE_TRANSIENT);
  if (sqlite3_step(raw) != SQLITE_ROW) throw StorageError(Where("check a run"));
  if (sqlite3_column_int64(raw, 0) != 0) return RunStanding::TicketSpent;
  if (sqlite3_column_int64(raw, 1) != 0) return RunStanding::RunKnown;
  return RunStanding::Fresh;
}

RunStanding ScoreStore::StandingOf(const VerifiedRun& run) {
  std::lock_guard lock(mutex_);
  return StandingLocked(run);
}

RunStanding ScoreStore::MarkVerifiedRun(std::int64_t id, std::string_view replay,
                                        const VerifiedRun& run, std::int64_t now) {
  std::lock_guard lock(mutex_);
  Execute("BEGIN IMMEDIATE");
  try {
    auto runStatement = [this](const char* sql, const std::function<void(sqlite3_stmt*)>& bind,
                               const char* what) {
      sqlite3_stmt* raw = nullptr;
      if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK) {
        throw StorageError(Where(what));
      }
      Statement statement(raw);
      bind(raw);
      if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where(what));
      return sqlite3_changes(db_);
    };
    const auto bindText = [](sqlite3_stmt* statement, int index, const std::string& text) {
      sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
    };
    runStatement(
        "DELETE FROM spent_tickets WHERE expires_at < ?1",
        [now](sqlite3_stmt* statement) { sqlite3_bind_int64(statement, 1, now); },
        "sweep spent tickets");
    const RunStanding standing = StandingLocked(run);
    if (standing != RunStanding::Fresh) {
      Execute("ROLLBACK");
      return standing;
    }
    const int marked = runStatement(
        "UPDATE scores SET verified = 1 WHERE id = ?1 AND verified = 0",
        [id](sqlite3_stmt* statement) { sqlite3_bind_int64(statement, 1, id); },
        "mark an entry verified");
    if (marked != 1) {
      Execute("ROLLBACK");
      return RunStanding::AlreadyVerified;
    }
    runStatement(
        "INSERT OR REPLACE INTO replays (entry_id, bytes) VALUES (?1, ?2)",
        [id, replay](sqlite3_stmt* statement) {
          sqlite3_bind_int64(statement, 1, id);
          sqlite3_bind_blob64(statement, 2, replay.data(), replay.size(), SQLITE_TRANSIENT);
        },
        "store a replay");
    runStatement(
        "INSERT INTO spent_tickets (ticket_id, expires_at) VALUES (?1, ?2)",
        [&](sqlite3_stmt* statement) {
          bindText(statement, 1, run.TicketId);
          sqlite3_bind_int64(statement, 2, run.TicketExpiresAt);
        },
        "spend a ticket");
    runStatement(
        "INSERT INTO verified_runs (fingerprint, entry_id) VALUES (?1, ?2)",
        [&](sqlite3_stmt* statement) {
          bindText(statement, 1, run.Fingerprint);
          sqlite3_bind_int64(statement, 2, id);
        },
        "keep a run's fingerprint");
    if (run.DailyDay) {
      // A name keeps its best run of the day; an equal score keeps the earlier one.
      runStatement(
          "INSERT INTO daily_runs (day, name, country, score, submitted_at, entry_id) "
          "SELECT ?1, name, country, score, submitted_at, id FROM scores WHERE id = ?2 "
          "ON CONFLICT (day, name) DO UPDATE SET country = excluded.country, "
          "score = excluded.score, submitted_at = excluded.submitted_at, "
          "entry_id = excluded.entry_id WHERE excluded.score > daily_runs.score",
          [&](sqlite3_stmt* statement) {
            sqlite3_bind_int64(statement, 1, *run.DailyDay);
            sqlite3_bind_int64(statement, 2, id);
          },
          "enter a daily run");
    }
    Execute("COMMIT");
    return RunStanding::Fresh;
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::string ScoreStore::TicketSecret(std::string_view fresh) {
  std::lock_guard lock(mutex_);
  Execute("BEGIN IMMEDIATE");
  try {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT INTO ticket_secret (secret) SELECT ?1 "
                           "WHERE NOT EXISTS (SELECT 1 FROM ticket_secret)",
                           -1, &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the ticket secret"));
    }
    Statement insert(raw);
    sqlite3_bind_blob64(raw, 1, fresh.data(), fresh.size(), SQLITE_TRANSIENT);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("store the ticket secret"));
    insert.reset();
    if (sqlite3_prepare_v2(db_, "SELECT secret FROM ticket_secret LIMIT 1", -1, &raw, nullptr) !=
        SQLITE_OK) {
      throw StorageError(Where("prepare the ticket secret query"));
    }
    Statement select(raw);
    if (sqlite3_step(raw) != SQLITE_ROW) throw StorageError(Where("read the ticket secret"));
    const void* bytes = sqlite3_column_blob(raw, 0);
    const int size = sqlite3_column_bytes(raw, 0);
    std::string secret = bytes == nullptr ? std::string()
                                          : std::string(static_cast<const char*>(bytes),
                                                        static_cast<std::size_t>(size));
    select.reset();
    Execute("COMMIT");
    return secret;
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<ScoreEntry> ScoreStore::DailyBest(std::uint32_t day, std::size_t limit,
                                              std::size_t offset) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT name, country, score, submitted_at, entry_id, 1 FROM daily_runs "
                         "WHERE day = ?1 AND entry_id NOT IN (SELECT entry_id FROM hidden_entries) "
                         "ORDER BY score DESC, submitted_at, entry_id LIMIT ?2 OFFSET ?3",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the daily ranking"));
  }
  Statement select(raw);
  sqlite3_bind_int64(raw, 1, day);
  sqlite3_bind_int64(raw, 2,
                     static_cast<sqlite3_int64>(std::min<std::size_t>(
                         limit, static_cast<std::size_t>(std::numeric_limits<int>::max()))));
  sqlite3_bind_int64(raw, 3,
                     static_cast<sqlite3_int64>(std::min<std::size_t>(
                         offset, static_cast<std::size_t>(std::numeric_limits<int>::max()))));
  std::vector<ScoreEntry> best;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) best.push_back(EntryOfRow(raw));
  if (step != SQLITE_DONE) throw StorageError(Where("read the daily ranking"));
  return best;
}

}  // namespace rivoltra::scores
