#include "score_backend.h"

namespace rivoltra::scores {

std::optional<std::string> LocalBackend::IssueToken(std::string_view client,
                                                    const ServiceTime& time) {
  return tokens_.Issue(client, time.Now);
}

ScoreBackend::Redeemed LocalBackend::StoreWithToken(std::string_view token, const ScoreEntry& entry,
                                                    const ServiceTime& time) {
  // Taken out first, so two reports racing with one token cannot both be stored.
  TokenStore::Taken taken = tokens_.Take(token, time.Now);
  switch (taken.Verdict) {
    case TokenStore::Verdict::Accepted:
      break;
    case TokenStore::Verdict::Expired:
      return Redeemed::Expired;
    case TokenStore::Verdict::Unknown:
      return Redeemed::Unknown;
  }
  std::int64_t id = 0;
  try {
    id = store_.Add(entry);
  } catch (...) {
    tokens_.Restore(taken);
    throw;
  }
  redeemed_.Link(token, id, time.Now);
  return Redeemed::Stored;
}

std::optional<ScoreEntry> LocalBackend::EntryOfToken(std::string_view token,
                                                     const ServiceTime& time) {
  auto id = redeemed_.EntryOf(token, time.Now);
  if (!id) return std::nullopt;
  return store_.Entry(*id);
}

}  // namespace rivoltra::scores
