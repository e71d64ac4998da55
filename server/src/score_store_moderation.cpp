// The operator's moderation on the SQLite file: hidden entries, bans, the audit log and the
// online backup.
#include <sqlite3.h>

#include <limits>

#include "score_store.h"
#include "sqlite_statement.h"

namespace rivoltra::scores {
namespace {

const char* KindName(BanKind kind) { return kind == BanKind::Name ? "name" : "address"; }

std::optional<std::int64_t> OptionalInteger(sqlite3_stmt* row, int column) {
  if (sqlite3_column_type(row, column) == SQLITE_NULL) return std::nullopt;
  return sqlite3_column_int64(row, column);
}

void BindOptional(sqlite3_stmt* statement, int index, const std::optional<std::int64_t>& value) {
  if (value) {
    sqlite3_bind_int64(statement, index, *value);
  } else {
    sqlite3_bind_null(statement, index);
  }
}

sqlite3_int64 Capped(std::size_t value) {
  return static_cast<sqlite3_int64>(
      std::min<std::size_t>(value, static_cast<std::size_t>(std::numeric_limits<int>::max())));
}

// id, kind, pattern, reason, created_at, expires_at, lifted_at
constexpr const char* kBanColumns =
    "SELECT id, kind, pattern, reason, created_at, expires_at, lifted_at FROM bans ";

Ban BanOfRow(sqlite3_stmt* row) {
  Ban ban;
  ban.Id = sqlite3_column_int64(row, 0);
  ban.Kind = ColumnText(row, 1) == "address" ? BanKind::Address : BanKind::Name;
  ban.Pattern = ColumnText(row, 2);
  ban.Reason = ColumnText(row, 3);
  ban.CreatedAt = sqlite3_column_int64(row, 4);
  ban.ExpiresAt = OptionalInteger(row, 5);
  ban.LiftedAt = OptionalInteger(row, 6);
  return ban;
}

}  // namespace

template <typename Change>
auto ScoreStore::InTransaction(Change change) {
  std::lock_guard lock(mutex_);
  Execute("BEGIN IMMEDIATE");
  try {
    auto result = change();
    Execute("COMMIT");
    return result;
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void ScoreStore::Audit(std::int64_t now, const char* action, const std::string& target,
                       const std::string& detail, const std::string& reason) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "INSERT INTO audit_log (at, action, target, detail, reason) "
                         "VALUES (?1, ?2, ?3, ?4, ?5)",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the audit record"));
  }
  Statement insert(raw);
  sqlite3_bind_int64(raw, 1, now);
  BindText(raw, 2, action);
  BindText(raw, 3, target);
  BindText(raw, 4, detail);
  BindText(raw, 5, reason);
  if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("write the audit record"));
}

std::vector<ScoreEntry> ScoreStore::Search(const EntrySearch& search) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(
          db_,
          "SELECT s.name, s.country, s.score, s.submitted_at, s.id, s.verified, h.reason "
          "FROM scores s LEFT JOIN hidden_entries h ON h.entry_id = s.id "
          "WHERE instr(upper(s.name), upper(?1)) > 0 AND (?2 = 0 OR h.reason IS NOT NULL) "
          "ORDER BY s.score DESC, s.submitted_at, s.id LIMIT ?3 OFFSET ?4",
          -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the search"));
  }
  Statement select(raw);
  BindText(raw, 1, search.NameContains);
  sqlite3_bind_int(raw, 2, search.HiddenOnly ? 1 : 0);
  sqlite3_bind_int64(raw, 3, Capped(search.Limit));
  sqlite3_bind_int64(raw, 4, Capped(search.Offset));
  std::vector<ScoreEntry> found;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) found.push_back(EntryOfRow(raw));
  if (step != SQLITE_DONE) throw StorageError(Where("search the entries"));
  return found;
}

bool ScoreStore::Hide(std::int64_t id, const std::string& reason, std::int64_t now) {
  return InTransaction([&] {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT OR IGNORE INTO hidden_entries (entry_id, reason, hidden_at) "
                           "SELECT id, ?2, ?3 FROM scores WHERE id = ?1",
                           -1, &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the hide"));
    }
    Statement hide(raw);
    sqlite3_bind_int64(raw, 1, id);
    BindText(raw, 2, reason);
    sqlite3_bind_int64(raw, 3, now);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("hide an entry"));
    if (sqlite3_changes(db_) != 1) return false;
    hide.reset();
    Audit(now, "hide", "entry " + std::to_string(id), "", reason);
    return true;
  });
}

bool ScoreStore::Unhide(std::int64_t id, const std::string& reason, std::int64_t now) {
  return InTransaction([&] {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "DELETE FROM hidden_entries WHERE entry_id = ?1", -1, &raw,
                           nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the unhide"));
    }
    Statement unhide(raw);
    sqlite3_bind_int64(raw, 1, id);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("unhide an entry"));
    if (sqlite3_changes(db_) != 1) return false;
    unhide.reset();
    Audit(now, "unhide", "entry " + std::to_string(id), "", reason);
    return true;
  });
}

bool ScoreStore::Rename(std::int64_t id, const std::string& name, const std::string& reason,
                        std::int64_t now) {
  return InTransaction([&] {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT name FROM scores WHERE id = ?1", -1, &raw, nullptr) !=
        SQLITE_OK) {
      throw StorageError(Where("prepare the rename"));
    }
    Statement select(raw);
    sqlite3_bind_int64(raw, 1, id);
    if (sqlite3_step(raw) != SQLITE_ROW) return false;
    std::string old = ColumnText(raw, 0);
    select.reset();
    if (sqlite3_prepare_v2(db_, "UPDATE scores SET name = ?2 WHERE id = ?1", -1, &raw, nullptr) !=
        SQLITE_OK) {
      throw StorageError(Where("prepare the rename"));
    }
    Statement update(raw);
    sqlite3_bind_int64(raw, 1, id);
    BindText(raw, 2, name);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("rename an entry"));
    update.reset();
    // The old name stays in the log as evidence.
    Audit(now, "rename", "entry " + std::to_string(id), "\"" + old + "\" -> \"" + name + "\"",
          reason);
    return true;
  });
}

std::int64_t ScoreStore::AddBan(const Ban& ban, std::int64_t now) {
  return InTransaction([&] {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT INTO bans (kind, pattern, reason, created_at, expires_at) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)",
                           -1, &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the ban"));
    }
    Statement insert(raw);
    BindText(raw, 1, KindName(ban.Kind));
    BindText(raw, 2, ban.Pattern);
    BindText(raw, 3, ban.Reason);
    sqlite3_bind_int64(raw, 4, now);
    BindOptional(raw, 5, ban.ExpiresAt);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("store a ban"));
    std::int64_t id = sqlite3_last_insert_rowid(db_);
    insert.reset();
    Audit(now, "ban", "ban " + std::to_string(id),
          std::string(KindName(ban.Kind)) + " " + ban.Pattern + " " + BanSpan(ban), ban.Reason);
    return id;
  });
}

bool ScoreStore::LiftBan(std::int64_t id, const std::string& reason, std::int64_t now) {
  return InTransaction([&] {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "UPDATE bans SET lifted_at = ?2 WHERE id = ?1 AND lifted_at IS NULL", -1,
                           &raw, nullptr) != SQLITE_OK) {
      throw StorageError(Where("prepare the unban"));
    }
    Statement lift(raw);
    sqlite3_bind_int64(raw, 1, id);
    sqlite3_bind_int64(raw, 2, now);
    if (sqlite3_step(raw) != SQLITE_DONE) throw StorageError(Where("lift a ban"));
    if (sqlite3_changes(db_) != 1) return false;
    lift.reset();
    Audit(now, "unban", "ban " + std::to_string(id), "", reason);
    return true;
  });
}

std::vector<Ban> ScoreStore::Bans() {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  std::string sql = std::string(kBanColumns) + "ORDER BY id DESC";
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the ban list"));
  }
  Statement select(raw);
  std::vector<Ban> bans;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) bans.push_back(BanOfRow(raw));
  if (step != SQLITE_DONE) throw StorageError(Where("read the bans"));
  return bans;
}

std::vector<Ban> ScoreStore::ActiveBans(std::int64_t now) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  std::string sql = std::string(kBanColumns) +
                    "WHERE lifted_at IS NULL AND (expires_at IS NULL OR expires_at > ?1)";
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the ban list"));
  }
  Statement select(raw);
  sqlite3_bind_int64(raw, 1, now);
  std::vector<Ban> bans;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) bans.push_back(BanOfRow(raw));
  if (step != SQLITE_DONE) throw StorageError(Where("read the bans"));
  return bans;
}

std::vector<AuditRecord> ScoreStore::AuditLog(std::size_t limit) {
  std::lock_guard lock(mutex_);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "SELECT id, at, action, target, detail, reason FROM audit_log "
                         "ORDER BY id DESC LIMIT ?1",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw StorageError(Where("prepare the audit log"));
  }
  Statement select(raw);
  sqlite3_bind_int64(raw, 1, Capped(limit));
  std::vector<AuditRecord> records;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
    records.push_back({sqlite3_column_int64(raw, 0), sqlite3_column_int64(raw, 1),
                       ColumnText(raw, 2), ColumnText(raw, 3), ColumnText(raw, 4),
                       ColumnText(raw, 5)});
  }
  if (step != SQLITE_DONE) throw StorageError(Where("read the audit log"));
  return records;
}

void ScoreStore::BackupTo(const std::string& path) {
  std::lock_guard lock(mutex_);
  sqlite3* copy = nullptr;
  if (sqlite3_open_v2(path.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    std::string message = path + ": cannot open: " + sqlite3_errmsg(copy);
    sqlite3_close(copy);
    throw StorageError(message);
  }
  // One step copies every page under a single read transaction, so the copy is one consistent
  // moment of the table however many servers write meanwhile.
  sqlite3_backup* backup = sqlite3_backup_init(copy, "main", db_, "main");
  int result = SQLITE_ERROR;
  if (backup != nullptr) {
    do {
      result = sqlite3_backup_step(backup, -1);
      if (result == SQLITE_BUSY || result == SQLITE_LOCKED) sqlite3_sleep(20);
    } while (result == SQLITE_BUSY || result == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
  }
  std::string message =
      result == SQLITE_DONE ? "" : path + ": backup failed: " + sqlite3_errmsg(copy);
  sqlite3_close(copy);
  if (!message.empty()) throw StorageError(message);
}

}  // namespace rivoltra::scores
