#include "postgres_backend.h"

#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <memory>
#include <regex>

#include "postgres_rows.h"

namespace rivoltra::scores {
namespace {

// Schema versions (the one row of rivoltra_schema):
//   1  scores(id, name, country, score, submitted_at), tokens(token, client, issued_at_ms)
//   2  scores.verified, replays(entry_id, bytes), redeemed_tokens(token, entry_id,
//      redeemed_at_ms); the report function links its token to the stored entry
//   4  hidden_entries, bans and audit_log for the operator's moderation
//   5  race tickets: ticket_secret(secret), spent_tickets(ticket_id, expires_at),
//      verified_runs(fingerprint, entry_id); daily_runs(day, name, country, score,
//      submitted_at, entry_id), each name's best verified run of a day
constexpr int kSchemaVersion = 5;
// Held while creating the schema, so servers starting together do not race each other.
constexpr const char* kSchemaLock = "SELECT pg_advisory_lock(8642001)";
constexpr const char* kSchemaUnlock = "SELECT pg_advisory_unlock(8642001)";
constexpr int kIssueAttempts = 8;
constexpr unsigned kIssuesPerSweep = 2000;

// Both functions run in one transaction each, so issuing honours the limits atomically and a
// report spends its token only if its score is stored: a failed insert rolls the delete back.
constexpr const char* kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS rivoltra_schema (version INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS scores (
  id BIGSERIAL PRIMARY KEY,
  name TEXT NOT NULL,
  country TEXT NOT NULL,
  score INTEGER NOT NULL,
  submitted_at BIGINT NOT NULL);
CREATE INDEX IF NOT EXISTS scores_rank ON scores (score DESC, submitted_at, id);
ALTER TABLE scores ADD COLUMN IF NOT EXISTS verified BOOLEAN NOT NULL DEFAULT FALSE;
CREATE INDEX IF NOT EXISTS scores_verified_rank ON scores (verified, score DESC, submitted_at, id);
CREATE TABLE IF NOT EXISTS replays (
  entry_id BIGINT PRIMARY KEY REFERENCES scores (id) ON DELETE CASCADE,
  bytes BYTEA NOT NULL);
-- Unlogged like the tokens: a link lost in a crash costs one entry its verification.
CREATE UNLOGGED TABLE IF NOT EXISTS redeemed_tokens (
  token TEXT PRIMARY KEY,
  entry_id BIGINT NOT NULL,
  redeemed_at_ms BIGINT NOT NULL);
CREATE INDEX IF NOT EXISTS redeemed_tokens_age ON redeemed_tokens (redeemed_at_ms);
-- Unlogged: tokens live minutes, and one lost in a crash costs its player one retry.
CREATE UNLOGGED TABLE IF NOT EXISTS tokens (
  token TEXT PRIMARY KEY,
  client TEXT NOT NULL,
  issued_at_ms BIGINT NOT NULL);
CREATE INDEX IF NOT EXISTS tokens_client ON tokens (client, issued_at_ms);
CREATE INDEX IF NOT EXISTS tokens_age ON tokens (issued_at_ms);

-- Moderation: a hidden entry keeps its row and replay as evidence; every action is logged.
CREATE TABLE IF NOT EXISTS hidden_entries (
  entry_id BIGINT PRIMARY KEY REFERENCES scores (id),
  reason TEXT NOT NULL,
  hidden_at BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS bans (
  id BIGSERIAL PRIMARY KEY,
  kind TEXT NOT NULL CHECK (kind IN ('name', 'address')),
  pattern TEXT NOT NULL,
  reason TEXT NOT NULL,
  created_at BIGINT NOT NULL,
  expires_at BIGINT,
  lifted_at BIGINT);
CREATE TABLE IF NOT EXISTS audit_log (
  id BIGSERIAL PRIMARY KEY,
  at BIGINT NOT NULL,
  action TEXT NOT NULL,
  target TEXT NOT NULL,
  detail TEXT NOT NULL,
  reason TEXT NOT NULL);

CREATE OR REPLACE FUNCTION rivoltra_now_ms() RETURNS BIGINT AS $$
  SELECT (extract(epoch FROM clock_timestamp()) * 1000)::BIGINT
$$ LANGUAGE sql;

-- true when issued; false when the table is full of live tokens, one per address
CREATE OR REPLACE FUNCTION rivoltra_issue_token(p_token TEXT, p_client TEXT, p_lifetime_ms BIGINT,
                                                p_per_client INTEGER, p_capacity INTEGER)
RETURNS BOOLEAN AS $$
DECLARE
  now_ms BIGINT := rivoltra_now_ms();
  held INTEGER;
  busiest TEXT;
  busiest_count INTEGER;
BEGIN
  -- A token lost in a crash costs the player one retry, so issuing need not wait for the disk.
  PERFORM set_config('synchronous_commit', 'off', true);
  -- Redeemed tokens leave dead rows at the old end of the age index until a vacuum, so sweeping
  -- expired ones on every call would walk them each time; now and then is enough, and always
  -- before a full table pushes anyone out.
  IF random() < 0.02 THEN
    DELETE FROM tokens WHERE issued_at_ms < now_ms - p_lifetime_ms;
  END IF;
  SELECT count(*) INTO held FROM tokens WHERE client = p_client;
  IF held >= p_per_client THEN
    DELETE FROM tokens WHERE token IN (SELECT token FROM tokens WHERE client = p_client
                                       ORDER BY issued_at_ms LIMIT held - p_per_client + 1);
  END IF;
  IF (SELECT count(*) FROM (SELECT 1 FROM tokens LIMIT p_capacity) AS live) >= p_capacity THEN
    DELETE FROM tokens WHERE issued_at_ms < now_ms - p_lifetime_ms;
  END IF;
  IF (SELECT count(*) FROM (SELECT 1 FROM tokens LIMIT p_capacity) AS live) >= p_capacity THEN
    SELECT client, count(*) INTO busiest, busiest_count FROM tokens GROUP BY client
      ORDER BY count(*) DESC LIMIT 1;
    IF busiest_count < 2 THEN
      RETURN FALSE;
    END IF;
    DELETE FROM tokens WHERE token = (SELECT token FROM tokens WHERE client = busiest
                                      ORDER BY issued_at_ms LIMIT 1);
  END IF;
  INSERT INTO tokens (token, client, issued_at_ms) VALUES (p_token, p_client, now_ms);
  RETURN TRUE;
END
$$ LANGUAGE plpgsql;

-- 0 stored, 1 unknown or spent token, 2 expired token
CREATE OR REPLACE FUNCTION rivoltra_store_report(p_token TEXT, p_name TEXT, p_country TEXT,
                                                 p_score INTEGER, p_submitted_at BIGINT,
                                                 p_lifetime_ms BIGINT)
RETURNS INTEGER AS $$
DECLARE
  issued BIGINT;
  stored BIGINT;
BEGIN
  DELETE FROM tokens WHERE token = p_token RETURNING issued_at_ms INTO issued;
  IF NOT FOUND THEN
    RETURN 1;
  END IF;
  IF issued < rivoltra_now_ms() - p_lifetime_ms THEN
    RETURN 2;
  END IF;
  INSERT INTO scores (name, country, score, submitted_at)
    VALUES (p_name, p_country, p_score, p_submitted_at) RETURNING id INTO stored;
  IF random() < 0.02 THEN
    DELETE FROM redeemed_tokens WHERE redeemed_at_ms < rivoltra_now_ms() - p_lifetime_ms;
  END IF;
  INSERT INTO redeemed_tokens (token, entry_id, redeemed_at_ms)
    VALUES (p_token, stored, rivoltra_now_ms())
    ON CONFLICT (token) DO UPDATE SET entry_id = EXCLUDED.entry_id,
                                      redeemed_at_ms = EXCLUDED.redeemed_at_ms;
  RETURN 0;
END
$$ LANGUAGE plpgsql;

-- true when marked; false when the entry is gone or verified already
CREATE OR REPLACE FUNCTION rivoltra_mark_verified(p_id BIGINT, p_bytes BYTEA)
RETURNS BOOLEAN AS $$
BEGIN
  UPDATE scores SET verified = TRUE WHERE id = p_id AND NOT verified;
  IF NOT FOUND THEN
    RETURN FALSE;
  END IF;
  INSERT INTO replays (entry_id, bytes) VALUES (p_id, p_bytes)
    ON CONFLICT (entry_id) DO UPDATE SET bytes = EXCLUDED.bytes;
  RETURN TRUE;
END
$$ LANGUAGE plpgsql;
)SQL";

// Version 5 (race tickets), created after the schema above.
constexpr const char* kTicketSchema = R"SQL(
CREATE TABLE IF NOT EXISTS ticket_secret (secret BYTEA NOT NULL);
CREATE TABLE IF NOT EXISTS spent_tickets (
  ticket_id TEXT PRIMARY KEY,
  expires_at BIGINT NOT NULL);
CREATE INDEX IF NOT EXISTS spent_tickets_age ON spent_tickets (expires_at);
CREATE TABLE IF NOT EXISTS verified_runs (
  fingerprint TEXT PRIMARY KEY,
  entry_id BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS daily_runs (
  day INTEGER NOT NULL,
  name TEXT NOT NULL,
  country TEXT NOT NULL,
  score INTEGER NOT NULL,
  submitted_at BIGINT NOT NULL,
  entry_id BIGINT NOT NULL,
  PRIMARY KEY (day, name));
CREATE INDEX IF NOT EXISTS daily_runs_rank ON daily_runs (day, score DESC, submitted_at, entry_id);

-- the stored secret, or p_fresh stored by the first server process to ask
CREATE OR REPLACE FUNCTION rivoltra_ticket_secret(p_fresh BYTEA) RETURNS BYTEA AS $$
DECLARE
  stored BYTEA;
BEGIN
  PERFORM pg_advisory_xact_lock(8642002);
  SELECT secret INTO stored FROM ticket_secret LIMIT 1;
  IF stored IS NULL THEN
    INSERT INTO ticket_secret (secret) VALUES (p_fresh);
    stored := p_fresh;
  END IF;
  RETURN stored;
END
$$ LANGUAGE plpgsql;

-- 0 marked; 1 ticket spent; 2 the same run stored before; 3 entry gone or verified already.
-- The inner block is one subtransaction: a refusal raised in it undoes all of it.
CREATE OR REPLACE FUNCTION rivoltra_mark_verified_run(p_id BIGINT, p_bytes BYTEA, p_ticket TEXT,
                                                      p_expires BIGINT, p_fingerprint TEXT,
                                                      p_day INTEGER, p_now BIGINT)
RETURNS INTEGER AS $$
BEGIN
  IF random() < 0.02 THEN
    DELETE FROM spent_tickets WHERE expires_at < p_now;
  END IF;
  BEGIN
    UPDATE scores SET verified = TRUE WHERE id = p_id AND NOT verified;
    IF NOT FOUND THEN
      RETURN 3;
    END IF;
    INSERT INTO spent_tickets (ticket_id, expires_at) VALUES (p_ticket, p_expires)
      ON CONFLICT (ticket_id) DO NOTHING;
    IF NOT FOUND THEN
      RAISE EXCEPTION USING ERRCODE = 'RV001';
    END IF;
    INSERT INTO verified_runs (fingerprint, entry_id) VALUES (p_fingerprint, p_id)
      ON CONFLICT (fingerprint) DO NOTHING;
    IF NOT FOUND THEN
      RAISE EXCEPTION USING ERRCODE = 'RV002';
    END IF;
    INSERT INTO replays (entry_id, bytes) VALUES (p_id, p_bytes)
      ON CONFLICT (entry_id) DO UPDATE SET bytes = EXCLUDED.bytes;
    IF p_day IS NOT NULL THEN
      -- A name keeps its best run of the day; an equal score keeps the earlier one.
      INSERT INTO daily_runs (day, name, country, score, submitted_at, entry_id)
        SELECT p_day, name, country, score, submitted_at, id FROM scores WHERE id = p_id
        ON CONFLICT (day, name) DO UPDATE SET country = EXCLUDED.country,
          score = EXCLUDED.score, submitted_at = EXCLUDED.submitted_at,
          entry_id = EXCLUDED.entry_id
        WHERE EXCLUDED.score > daily_runs.score;
    END IF;
    RETURN 0;
  EXCEPTION
    WHEN SQLSTATE 'RV001' THEN
      RETURN 1;
    WHEN SQLSTATE 'RV002' THEN
      RETURN 2;
  END;
END
$$ LANGUAGE plpgsql;
)SQL";

std::string ErrorOf(pg_conn* connection, const PGresult* result) {
  std::string message = result != nullptr ? PQresultErrorMessage(result) : "";
  if (message.empty()) message = PQerrorMessage(connection);
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  for (char& c : message) {
    if (c == '\n') c = ' ';
  }
  return message;
}

// The two calls every report makes, prepared once per connection.
constexpr const char* kIssueStatement = "rivoltra_issue";
constexpr const char* kStoreStatement = "rivoltra_store";
constexpr std::pair<const char*, const char*> kPrepared[] = {
    {kIssueStatement, "SELECT rivoltra_issue_token($1, $2, $3, $4, $5)"},
    {kStoreStatement, "SELECT rivoltra_store_report($1, $2, $3, $4, $5, $6)"},
};

}  // namespace

Result Checked(pg_conn* connection, PGresult* raw, const std::string& what) {
  Result result(raw);
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    const char* code = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    std::string state = code != nullptr ? code : "";
    throw StorageError("PostgreSQL: cannot " + what + ": " + ErrorOf(connection, result.get()) +
                       (state.empty() ? "" : " [" + state + "]"));
  }
  return result;
}

namespace {

std::vector<const char*> Values(const std::vector<std::string>& parameters) {
  std::vector<const char*> values;
  values.reserve(parameters.size());
  for (const auto& parameter : parameters) values.push_back(parameter.c_str());
  return values;
}

}  // namespace

// Runs one statement with text parameters; throws StorageError unless it succeeded.
Result Run(pg_conn* connection, const char* sql, const std::vector<std::string>& parameters,
           const std::string& what) {
  auto values = Values(parameters);
  return Checked(connection,
                 PQexecParams(connection, sql, static_cast<int>(values.size()), nullptr,
                              values.data(), nullptr, nullptr, 0),
                 what);
}

namespace {

Result RunPrepared(pg_conn* connection, const char* name,
                   const std::vector<std::string>& parameters, const std::string& what) {
  auto values = Values(parameters);
  return Checked(connection,
                 PQexecPrepared(connection, name, static_cast<int>(values.size()), values.data(),
                                nullptr, nullptr, 0),
                 what);
}

void Prepare(pg_conn* connection) {
  for (const auto& [name, sql] : kPrepared) {
    Checked(connection, PQprepare(connection, name, sql, 0, nullptr), "prepare a statement");
  }
}

}  // namespace

std::string Field(const PGresult* result, int row, int column) {
  return std::string(PQgetvalue(result, row, column),
                     static_cast<std::size_t>(PQgetlength(result, row, column)));
}

long long NumberField(const PGresult* result, int row, int column) {
  try {
    return std::stoll(Field(result, row, column));
  } catch (const std::exception&) {
    return 0;
  }
}

const std::string kEntryColumns = "s.name, s.country, s.score, s.submitted_at, s.id, s.verified";

ScoreEntry EntryOfRow(const PGresult* rows, int row) {
  ScoreEntry entry;
  entry.Name = Field(rows, row, 0);
  entry.Country = Field(rows, row, 1);
  entry.Score = static_cast<std::int32_t>(NumberField(rows, row, 2));
  entry.SubmittedAt = NumberField(rows, row, 3);
  entry.Id = NumberField(rows, row, 4);
  entry.Verified = Field(rows, row, 5) == "t";
  if (PQnfields(rows) > 6 && PQgetisnull(rows, row, 6) == 0)
    entry.HiddenReason = Field(rows, row, 6);
  return entry;
}

std::string RedactedAddress(const std::string& address) {
  static const std::regex kUserPassword(R"(://([^:/@]*):[^@/]*@)");
  static const std::regex kPasswordParameter(R"(password=[^&\s]*)");
  std::string shown = std::regex_replace(address, kUserPassword, "://$1:***@");
  return std::regex_replace(shown, kPasswordParameter, "password=***");
}

PostgresBackend::PostgresBackend(const std::string& address, TokenStore::Limits tokenLimits,
                                 std::size_t connections)
    : shownAddress_(RedactedAddress(address)), limits_(tokenLimits) {
  connections = std::max<std::size_t>(connections, 1);
  try {
    for (std::size_t i = 0; i < connections; ++i) {
      pg_conn* connection = PQconnectdb(address.c_str());
      all_.push_back(connection);
      if (connection == nullptr || PQstatus(connection) != CONNECTION_OK) {
        throw StorageError(shownAddress_ + ": cannot connect: " + ErrorOf(connection, nullptr));
      }
      idle_.push_back(connection);
    }
    CreateSchema(all_.front());
    for (pg_conn* connection : all_) Prepare(connection);
  } catch (...) {
    for (pg_conn* connection : all_) PQfinish(connection);
    throw;
  }
}

PostgresBackend::~PostgresBackend() {
  for (pg_conn* connection : all_) PQfinish(connection);
}

void PostgresBackend::CreateSchema(pg_conn* connection) {
  Run(connection, kSchemaLock, {}, "lock the schema");
  try {
    Run(connection, "SET client_min_messages = warning", {}, "quieten notices");
    Result found =
        Run(connection, "SELECT to_regclass('rivoltra_schema') IS NOT NULL", {}, "read the schema");
    if (Field(found.get(), 0, 0) == "t") {
      Result version = Run(connection, "SELECT max(version) FROM rivoltra_schema", {},
                           "read the schema version");
      long long stored = NumberField(version.get(), 0, 0);
      if (stored > kSchemaVersion) {
        throw StorageError(shownAddress_ + ": schema version " + std::to_string(stored) +
                           " is newer than this server (" + std::to_string(kSchemaVersion) + ")");
      }
    }
    // PQexec, not PQexecParams: the schema is several statements.
    Result created(PQexec(connection, kSchema));
    if (!created || PQresultStatus(created.get()) != PGRES_COMMAND_OK) {
      throw StorageError(shownAddress_ +
                         ": cannot create the schema: " + ErrorOf(connection, created.get()));
    }
    Result tickets(PQexec(connection, kTicketSchema));
    if (!tickets || PQresultStatus(tickets.get()) != PGRES_COMMAND_OK) {
      throw StorageError(shownAddress_ + ": cannot create the ticket tables: " +
                         ErrorOf(connection, tickets.get()));
    }
    Run(connection,
        "INSERT INTO rivoltra_schema (version) SELECT $1::INTEGER "
        "WHERE NOT EXISTS (SELECT 1 FROM rivoltra_schema)",
        {std::to_string(kSchemaVersion)}, "record the schema version");
    Run(connection, "UPDATE rivoltra_schema SET version = $1::INTEGER WHERE version < $1::INTEGER",
        {std::to_string(kSchemaVersion)}, "record the schema version");
  } catch (...) {
    PQclear(PQexec(connection, kSchemaUnlock));
    throw;
  }
  Run(connection, kSchemaUnlock, {}, "unlock the schema");
}

pg_conn* PostgresBackend::Acquire() {
  std::unique_lock lock(mutex_);
  returned_.wait(lock, [this] { return !idle_.empty(); });
  pg_conn* connection = idle_.back();
  idle_.pop_back();
  lock.unlock();
  // A connection the database dropped (a restart, a failover) is opened again before use.
  if (PQstatus(connection) != CONNECTION_OK) {
    PQreset(connection);
    // A new session has no prepared statements; a failure here shows in the call itself.
    try {
      Prepare(connection);
    } catch (const StorageError&) {
    }
  }
  return connection;
}

void PostgresBackend::Release(pg_conn* connection) {
  {
    std::lock_guard lock(mutex_);
    idle_.push_back(connection);
  }
  returned_.notify_one();
}

std::optional<std::string> PostgresBackend::IssueToken(std::string_view client,
                                                       const ServiceTime&) {
  Lease lease(*this);
  std::string lifetime = std::to_string(limits_.Lifetime.count() * 1000);
  for (int attempt = 0; attempt < kIssueAttempts; ++attempt) {
    std::string token = TokenStore::RandomToken();
    try {
      Result issued =
          RunPrepared(lease.Get(), kIssueStatement,
                      {token, std::string(client), lifetime, std::to_string(limits_.PerClient),
                       std::to_string(limits_.Capacity)},
                      "issue a token");
      if (Field(issued.get(), 0, 0) != "t") return std::nullopt;
      SweepNowAndThen(lease.Get());
      return token;
    } catch (const StorageError& error) {
      // A repeat of an outstanding token is drawn again; anything else is a real failure.
      if (std::string(error.what()).find("[23505]") == std::string::npos) throw;
    }
  }
  throw StorageError(shownAddress_ + ": no fresh token after " + std::to_string(kIssueAttempts) +
                     " draws");
}

ScoreBackend::Redeemed PostgresBackend::StoreWithToken(std::string_view token,
                                                       const ScoreEntry& entry,
                                                       const ServiceTime&) {
  Lease lease(*this);
  Result stored = RunPrepared(
      lease.Get(), kStoreStatement,
      {std::string(token), entry.Name, entry.Country, std::to_string(entry.Score),
       std::to_string(entry.SubmittedAt), std::to_string(limits_.Lifetime.count() * 1000)},
      "store a score");
  switch (NumberField(stored.get(), 0, 0)) {
    case 0:
      return Redeemed::Stored;
    case 2:
      return Redeemed::Expired;
    default:
      return Redeemed::Unknown;
  }
}

void PostgresBackend::SweepNowAndThen(pg_conn* connection) {
  // Every redeemed token leaves a dead row that each count of its address walks until a vacuum;
  // autovacuum comes by once a minute at best, so the server sweeps the small table itself.
  if (++issuedSinceSweep_ % kIssuesPerSweep != 0) return;
  PQclear(PQexec(connection, "VACUUM (SKIP_LOCKED) tokens"));
}

std::vector<ScoreEntry> PostgresBackend::Ranked(std::size_t offset, std::size_t limit,
                                                EntryFilter filter) {
  Lease lease(*this);
  // Hidden entries stay in the database as evidence and are left out of every ranking.
  std::string sql = "SELECT " + kEntryColumns +
                    " FROM scores s WHERE NOT EXISTS (SELECT 1 FROM hidden_entries h "
                    "WHERE h.entry_id = s.id) " +
                    (filter == EntryFilter::VerifiedOnly ? "AND s.verified " : "") +
                    "ORDER BY score DESC, submitted_at, id LIMIT $1 OFFSET $2";
  Result rows = Run(lease.Get(), sql.c_str(),
                    {std::to_string(std::min<std::size_t>(limit, 1'000'000)),
                     std::to_string(std::min<std::size_t>(offset, 1'000'000'000))},
                    "read the ranking");
  std::vector<ScoreEntry> best;
  int count = PQntuples(rows.get());
  for (int row = 0; row < count; ++row) best.push_back(EntryOfRow(rows.get(), row));
  return best;
}

std::optional<ScoreEntry> PostgresBackend::EntryOfToken(std::string_view token,
                                                        const ServiceTime&) {
  Lease lease(*this);
  std::string sql = "SELECT " + kEntryColumns +
                    " FROM redeemed_tokens r JOIN scores s ON s.id = r.entry_id "
                    "WHERE r.token = $1 AND r.redeemed_at_ms >= rivoltra_now_ms() - $2::BIGINT";
  Result rows = Run(lease.Get(), sql.c_str(),
                    {std::string(token), std::to_string(limits_.Lifetime.count() * 1000)},
                    "find a token's entry");
  if (PQntuples(rows.get()) == 0) return std::nullopt;
  return EntryOfRow(rows.get(), 0);
}

bool PostgresBackend::MarkVerified(std::int64_t entryId, std::string_view replay) {
  Lease lease(*this);
  std::string id = std::to_string(entryId);
  const char* values[] = {id.c_str(), replay.data()};
  int lengths[] = {0, static_cast<int>(replay.size())};
  int formats[] = {0, 1};  // the replay goes as raw bytes, not as escaped text
  Result marked = Checked(lease.Get(),
                          PQexecParams(lease.Get(), "SELECT rivoltra_mark_verified($1, $2)", 2,
                                       nullptr, values, lengths, formats, 0),
                          "mark an entry verified");
  return Field(marked.get(), 0, 0) == "t";
}

std::optional<std::string> PostgresBackend::ReplayOf(std::int64_t entryId) {
  Lease lease(*this);
  std::string id = std::to_string(entryId);
  const char* values[] = {id.c_str()};
  Result rows = Checked(lease.Get(),
                        PQexecParams(lease.Get(),
                                     "SELECT bytes FROM replays WHERE entry_id = $1 AND NOT EXISTS "
                                     "(SELECT 1 FROM hidden_entries WHERE entry_id = $1)",
                                     1, nullptr, values, nullptr, nullptr, 1),
                        "read a replay");
  if (PQntuples(rows.get()) == 0) return std::nullopt;
  return Field(rows.get(), 0, 0);
}

void PostgresBackend::CheckHealth() {
  Lease lease(*this);
  Run(lease.Get(), "SELECT 1", {}, "answer");
}

std::optional<ScoreEntry> PostgresBackend::Entry(std::int64_t entryId) {
  Lease lease(*this);
  std::string sql = "SELECT " + kEntryColumns +
                    ", h.reason FROM scores s LEFT JOIN hidden_entries h ON h.entry_id = s.id "
                    "WHERE s.id = $1";
  Result rows = Run(lease.Get(), sql.c_str(), {std::to_string(entryId)}, "read an entry");
  if (PQntuples(rows.get()) == 0) return std::nullopt;
  return EntryOfRow(rows.get(), 0);
}

std::size_t PostgresBackend::Count() {
  Lease lease(*this);
  Result count = Run(lease.Get(), "SELECT count(*) FROM scores", {}, "count the scores");
  return static_cast<std::size_t>(NumberField(count.get(), 0, 0));
}

std::size_t PostgresBackend::OutstandingTokens() {
  Lease lease(*this);
  Result count = Run(lease.Get(), "SELECT count(*) FROM tokens", {}, "count the tokens");
  return static_cast<std::size_t>(NumberField(count.get(), 0, 0));
}

RunStanding PostgresBackend::MarkVerifiedRun(std::int64_t entryId, std::string_view replay,
                                             const VerifiedRun& run, std::int64_t now) {
  Lease lease(*this);
  const std::string id = std::to_string(entryId);
  const std::string expires = std::to_string(run.TicketExpiresAt);
  const std::string day = run.DailyDay ? std::to_string(*run.DailyDay) : std::string();
  const std::string nowText = std::to_string(now);
  const char* values[] = {
      id.c_str(),      replay.data(),           run.TicketId.c_str(),
      expires.c_str(), run.Fingerprint.c_str(), run.DailyDay ? day.c_str() : nullptr,
      nowText.c_str()};
  int lengths[] = {0, static_cast<int>(replay.size()), 0, 0, 0, 0, 0};
  int formats[] = {0, 1, 0, 0, 0, 0, 0};
  Result marked = Checked(
      lease.Get(),
      PQexecParams(lease.Get(), "SELECT rivoltra_mark_verified_run($1, $2, $3, $4, $5, $6, $7)", 7,
                   nullptr, values, lengths, formats, 0),
      "mark a run verified");
  switch (NumberField(marked.get(), 0, 0)) {
    case 0:
      return RunStanding::Fresh;
    case 1:
      return RunStanding::TicketSpent;
    case 2:
      return RunStanding::RunKnown;
    default:
      return RunStanding::AlreadyVerified;
  }
}

RunStanding PostgresBackend::StandingOf(const VerifiedRun& run) {
  Lease lease(*this);
  Result rows = Run(lease.Get(),
                    "SELECT EXISTS (SELECT 1 FROM spent_tickets WHERE ticket_id = $1), "
                    "EXISTS (SELECT 1 FROM verified_runs WHERE fingerprint = $2)",
                    {run.TicketId, run.Fingerprint}, "check a run");
  if (Field(rows.get(), 0, 0) == "t") return RunStanding::TicketSpent;
  if (Field(rows.get(), 0, 1) == "t") return RunStanding::RunKnown;
  return RunStanding::Fresh;
}

std::string PostgresBackend::TicketSecret(std::string_view fresh) {
  Lease lease(*this);
  const char* values[] = {fresh.data()};
  int lengths[] = {static_cast<int>(fresh.size())};
  int formats[] = {1};
  Result rows = Checked(lease.Get(),
                        PQexecParams(lease.Get(), "SELECT rivoltra_ticket_secret($1)", 1, nullptr,
                                     values, lengths, formats, 1),
                        "read the ticket secret");
  return Field(rows.get(), 0, 0);
}

std::vector<ScoreEntry> PostgresBackend::DailyRanked(std::uint32_t day, std::size_t offset,
                                                     std::size_t limit) {
  Lease lease(*this);
  Result rows = Run(lease.Get(),
                    "SELECT d.name, d.country, d.score, d.submitted_at, d.entry_id, TRUE "
                    "FROM daily_runs d WHERE d.day = $1 AND NOT EXISTS (SELECT 1 FROM "
                    "hidden_entries h WHERE h.entry_id = d.entry_id) "
                    "ORDER BY d.score DESC, d.submitted_at, d.entry_id LIMIT $2 OFFSET $3",
                    {std::to_string(day), std::to_string(std::min<std::size_t>(limit, 1'000'000)),
                     std::to_string(std::min<std::size_t>(offset, 1'000'000'000))},
                    "read the daily ranking");
  std::vector<ScoreEntry> best;
  const int count = PQntuples(rows.get());
  for (int row = 0; row < count; ++row) best.push_back(EntryOfRow(rows.get(), row));
  return best;
}

}  // namespace rivoltra::scores
