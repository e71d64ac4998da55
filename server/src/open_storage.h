#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "score_backend.h"
#include "score_store.h"
#include "token_store.h"

namespace rivoltra::scores {

// The storage a --db names, with whatever it needs kept alive beside it: a SQLite file (its
// table and the process's tokens) or a PostgreSQL database shared by several servers.
struct Storage {
  std::unique_ptr<ScoreStore> Table;  // the SQLite file; null on PostgreSQL
  std::unique_ptr<TokenStore> Tokens;
  std::unique_ptr<ScoreBackend> Backend;
};

// Throws StorageError when the database cannot be opened or is damaged.
Storage OpenStorage(const std::string& database, const TokenStore::Limits& tokens,
                    std::size_t connections);

}  // namespace rivoltra::scores
