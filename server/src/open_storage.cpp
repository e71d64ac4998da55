#include "open_storage.h"

#include "postgres_backend.h"
#include "server_options.h"

namespace rivoltra::scores {

Storage OpenStorage(const std::string& database, const TokenStore::Limits& tokens,
                    std::size_t connections) {
  Storage storage;
  if (IsPostgresAddress(database)) {
    storage.Backend = std::make_unique<PostgresBackend>(database, tokens, connections);
    return storage;
  }
  storage.Table = std::make_unique<ScoreStore>(database);
  storage.Tokens = std::make_unique<TokenStore>(tokens);
  storage.Backend = std::make_unique<LocalBackend>(*storage.Table, *storage.Tokens);
  return storage;
}

}  // namespace rivoltra::scores
