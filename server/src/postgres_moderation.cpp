// The operator's moderation on PostgreSQL: hidden entries, bans and the audit log, each action
// with its audit record in one transaction.
#include <algorithm>

#include "postgres_backend.h"
#include "postgres_rows.h"

namespace rivoltra::scores {
namespace {

const char* KindName(BanKind kind) { return kind == BanKind::Name ? "name" : "address"; }

constexpr const char* kBanColumns =
    "SELECT id, kind, pattern, reason, created_at, expires_at, lifted_at FROM bans ";

std::optional<std::int64_t> OptionalNumber(const PGresult* rows, int row, int column) {
  if (PQgetisnull(rows, row, column) != 0) return std::nullopt;
  return NumberField(rows, row, column);
}

std::vector<Ban> BansOf(const PGresult* rows) {
  std::vector<Ban> bans;
  for (int row = 0; row < PQntuples(rows); ++row) {
    Ban ban;
    ban.Id = NumberField(rows, row, 0);
    ban.Kind = Field(rows, row, 1) == "address" ? BanKind::Address : BanKind::Name;
    ban.Pattern = Field(rows, row, 2);
    ban.Reason = Field(rows, row, 3);
    ban.CreatedAt = NumberField(rows, row, 4);
    ban.ExpiresAt = OptionalNumber(rows, row, 5);
    ban.LiftedAt = OptionalNumber(rows, row, 6);
    bans.push_back(std::move(ban));
  }
  return bans;
}

void Audit(pg_conn* connection, std::int64_t now, const char* action, const std::string& target,
           const std::string& detail, const std::string& reason) {
  Run(connection,
      "INSERT INTO audit_log (at, action, target, detail, reason) VALUES ($1, $2, $3, $4, $5)",
      {std::to_string(now), action, target, detail, reason}, "write the audit record");
}

std::string Bounded(std::size_t value) {
  return std::to_string(std::min<std::size_t>(value, 1'000'000'000));
}

}  // namespace

template <typename Change>
auto PostgresBackend::InTransaction(Change change) {
  Lease lease(*this);
  Run(lease.Get(), "BEGIN", {}, "begin a transaction");
  try {
    auto result = change(lease.Get());
    Run(lease.Get(), "COMMIT", {}, "commit");
    return result;
  } catch (...) {
    PQclear(PQexec(lease.Get(), "ROLLBACK"));
    throw;
  }
}

std::vector<ScoreEntry> PostgresBackend::Search(const EntrySearch& search) {
  Lease lease(*this);
  std::string sql = "SELECT " + kEntryColumns +
                    ", h.reason FROM scores s LEFT JOIN hidden_entries h ON h.entry_id = s.id "
                    "WHERE strpos(upper(s.name), upper($1)) > 0 "
                    "AND ($2 = 0 OR h.reason IS NOT NULL) "
                    "ORDER BY s.score DESC, s.submitted_at, s.id LIMIT $3 OFFSET $4";
  Result rows = Run(lease.Get(), sql.c_str(),
                    {search.NameContains, search.HiddenOnly ? "1" : "0", Bounded(search.Limit),
                     Bounded(search.Offset)},
                    "search the entries");
  std::vector<ScoreEntry> found;
  for (int row = 0; row < PQntuples(rows.get()); ++row)
    found.push_back(EntryOfRow(rows.get(), row));
  return found;
}

bool PostgresBackend::Hide(std::int64_t entryId, const std::string& reason, std::int64_t now) {
  return InTransaction([&](pg_conn* connection) {
    Result hidden = Run(connection,
                        "INSERT INTO hidden_entries (entry_id, reason, hidden_at) "
                        "SELECT id, $2, $3 FROM scores WHERE id = $1 ON CONFLICT DO NOTHING",
                        {std::to_string(entryId), reason, std::to_string(now)}, "hide an entry");
    if (std::string(PQcmdTuples(hidden.get())) != "1") return false;
    Audit(connection, now, "hide", "entry " + std::to_string(entryId), "", reason);
    return true;
  });
}

bool PostgresBackend::Unhide(std::int64_t entryId, const std::string& reason, std::int64_t now) {
  return InTransaction([&](pg_conn* connection) {
    Result shown = Run(connection, "DELETE FROM hidden_entries WHERE entry_id = $1",
                       {std::to_string(entryId)}, "unhide an entry");
    if (std::string(PQcmdTuples(shown.get())) != "1") return false;
    Audit(connection, now, "unhide", "entry " + std::to_string(entryId), "", reason);
    return true;
  });
}

bool PostgresBackend::Rename(std::int64_t entryId, const std::string& name,
                             const std::string& reason, std::int64_t now) {
  return InTransaction([&](pg_conn* connection) {
    Result old = Run(connection, "SELECT name FROM scores WHERE id = $1 FOR UPDATE",
                     {std::to_string(entryId)}, "read an entry");
    if (PQntuples(old.get()) == 0) return false;
    std::string previous = Field(old.get(), 0, 0);
    Run(connection, "UPDATE scores SET name = $2 WHERE id = $1", {std::to_string(entryId), name},
        "rename an entry");
    // The old name stays in the log as evidence.
    Audit(connection, now, "rename", "entry " + std::to_string(entryId),
          "\"" + previous + "\" -> \"" + name + "\"", reason);
    return true;
  });
}

std::int64_t PostgresBackend::AddBan(const Ban& ban, std::int64_t now) {
  return InTransaction([&](pg_conn* connection) {
    std::vector<std::string> values = {KindName(ban.Kind), ban.Pattern, ban.Reason,
                                       std::to_string(now)};
    const char* sql =
        "INSERT INTO bans (kind, pattern, reason, created_at, expires_at) "
        "VALUES ($1, $2, $3, $4, NULL) RETURNING id";
    if (ban.ExpiresAt) {
      values.push_back(std::to_string(*ban.ExpiresAt));
      sql =
          "INSERT INTO bans (kind, pattern, reason, created_at, expires_at) "
          "VALUES ($1, $2, $3, $4, $5) RETURNING id";
    }
    Result added = Run(connection, sql, values, "store a ban");
    std::int64_t id = NumberField(added.get(), 0, 0);
    Audit(connection, now, "ban", "ban " + std::to_string(id),
          std::string(KindName(ban.Kind)) + " " + ban.Pattern + " " + BanSpan(ban), ban.Reason);
    return id;
  });
}

bool PostgresBackend::LiftBan(std::int64_t banId, const std::string& reason, std::int64_t now) {
  return InTransaction([&](pg_conn* connection) {
    Result lifted =
        Run(connection, "UPDATE bans SET lifted_at = $2 WHERE id = $1 AND lifted_at IS NULL",
            {std::to_string(banId), std::to_string(now)}, "lift a ban");
    if (std::string(PQcmdTuples(lifted.get())) != "1") return false;
    Audit(connection, now, "unban", "ban " + std::to_string(banId), "", reason);
    return true;
  });
}

std::vector<Ban> PostgresBackend::Bans() {
  Lease lease(*this);
  std::string sql = std::string(kBanColumns) + "ORDER BY id DESC";
  Result rows = Run(lease.Get(), sql.c_str(), {}, "read the bans");
  return BansOf(rows.get());
}

std::vector<Ban> PostgresBackend::ActiveBans(std::int64_t now) {
  Lease lease(*this);
  std::string sql = std::string(kBanColumns) +
                    "WHERE lifted_at IS NULL AND (expires_at IS NULL OR expires_at > $1)";
  Result rows = Run(lease.Get(), sql.c_str(), {std::to_string(now)}, "read the bans");
  return BansOf(rows.get());
}

std::vector<AuditRecord> PostgresBackend::AuditLog(std::size_t limit) {
  Lease lease(*this);
  Result rows = Run(lease.Get(),
                    "SELECT id, at, action, target, detail, reason FROM audit_log "
                    "ORDER BY id DESC LIMIT $1",
                    {Bounded(limit)}, "read the audit log");
  std::vector<AuditRecord> records;
  for (int row = 0; row < PQntuples(rows.get()); ++row) {
    records.push_back({NumberField(rows.get(), row, 0), NumberField(rows.get(), row, 1),
                       Field(rows.get(), row, 2), Field(rows.get(), row, 3),
                       Field(rows.get(), row, 4), Field(rows.get(), row, 5)});
  }
  return records;
}

}  // namespace rivoltra::scores
