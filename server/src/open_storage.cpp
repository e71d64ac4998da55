#include "open_storage.h"

#include "postgres_backend.h"
#include "server_options.h"

namespace rivoltra::scores {

Storage OpenStorage(const std::string& database, const TokenStore::Limits& tokens,
                    std::size_t connections) {
  Storage storage;
  if (IsPostgresAddress(database)) {
    storage.backend = std::make_unique<PostgresBackend>(database, tokens, connections);
    return storage;
  }
  storage.table = std::make_unique<ScoreStore>(database);
  storage.tokens = std::make_unique<TokenStore>(tokens);
  storage.backend = std::make_unique<LocalBackend>(*storage.table, *storage.tokens);
  return storage;
}

}  // namespace rivoltra::scores
