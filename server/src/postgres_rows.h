#pragma once

// What the PostgreSQL back end's files share: results, statements, rows and the lease of a
// pooled connection.
#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

#include "postgres_backend.h"

namespace rivoltra::scores {

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// Takes the result; throws StorageError naming `what` unless the statement succeeded.
Result Checked(pg_conn* connection, PGresult* raw, const std::string& what);
// Runs one statement with text parameters; throws StorageError unless it succeeded.
Result Run(pg_conn* connection, const char* sql, const std::vector<std::string>& parameters,
           const std::string& what);
std::string Field(const PGresult* result, int row, int column);
long long NumberField(const PGresult* result, int row, int column);

// The columns EntryOfRow reads, from the scores table named s; a seventh column, when selected,
// is the reason the entry is hidden.
extern const std::string kEntryColumns;
ScoreEntry EntryOfRow(const PGresult* rows, int row);

// A connection held for one call, given back to the pool however the call ends.
class PostgresBackend::Lease {
 public:
  explicit Lease(PostgresBackend& owner) : owner_(owner), connection_(owner.Acquire()) {}
  ~Lease() { owner_.Release(connection_); }
  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;
  pg_conn* Get() const { return connection_; }

 private:
  PostgresBackend& owner_;
  pg_conn* connection_;
};

}  // namespace rivoltra::scores
