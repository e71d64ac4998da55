#pragma once

// A prepared SQLite statement, finalised with its owner; for the store's own files.
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "score_store.h"

namespace rivoltra::scores {

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

inline void BindText(sqlite3_stmt* statement, int index, std::string_view text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

inline std::string ColumnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  int bytes = sqlite3_column_bytes(statement, column);
  if (text == nullptr || bytes <= 0) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes));
}

// A row of name, country, score, submitted_at, id, verified and, when selected, the reason
// the entry is hidden.
inline ScoreEntry EntryOfRow(sqlite3_stmt* row) {
  ScoreEntry entry;
  entry.Name = ColumnText(row, 0);
  entry.Country = ColumnText(row, 1);
  // A row edited by hand may hold anything; clamp rather than wrap.
  sqlite3_int64 score = sqlite3_column_int64(row, 2);
  score = std::min<sqlite3_int64>(std::max<sqlite3_int64>(score, INT32_MIN), INT32_MAX);
  entry.Score = static_cast<std::int32_t>(score);
  entry.SubmittedAt = sqlite3_column_int64(row, 3);
  entry.Id = sqlite3_column_int64(row, 4);
  entry.Verified = sqlite3_column_int64(row, 5) != 0;
  if (sqlite3_column_count(row) > 6) entry.HiddenReason = ColumnText(row, 6);
  return entry;
}

}  // namespace rivoltra::scores
