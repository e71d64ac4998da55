#include "token_store.h"

#include <random>

#include "formats/score_code.h"

namespace rivoltra::scores {

std::string TokenStore::RandomToken() {
  // random_device reads the kernel's random source on Linux, so tokens cannot be predicted
  // from earlier ones.
  static std::random_device source;
  static std::mutex sourceMutex;
  std::lock_guard lock(sourceMutex);
  std::uniform_int_distribution<std::size_t> pick(0, kScoreAlphabet.size() - 1);
  std::string token;
  token.reserve(kTokenLength);
  for (std::size_t i = 0; i < kTokenLength; ++i) token += kScoreAlphabet[pick(source)];
  return token;
}

TokenStore::TokenStore(Limits limits, std::function<std::string()> generator)
    : limits_(limits), generator_(std::move(generator)) {
  if (limits_.Capacity == 0) limits_.Capacity = 1;
  if (limits_.PerClient == 0) limits_.PerClient = 1;
}

std::optional<std::string> TokenStore::Issue(std::string_view client, SteadyTime now) {
  std::lock_guard lock(mutex_);
  std::string owner(client);
  if (!MakeRoom(owner, now)) return std::nullopt;
  std::string token = generator_();
  // A repeat of an outstanding token would let two reports share it; draw again instead.
  for (int attempt = 0; attempt < 8 && issued_.count(token) != 0; ++attempt) token = generator_();
  if (auto repeated = issued_.find(token); repeated != issued_.end()) Forget(repeated);
  Add(token, std::move(owner), now);
  return token;
}

std::string TokenStore::Issue(SteadyTime now) { return Issue("", now).value_or(std::string()); }

TokenStore::Verdict TokenStore::Redeem(std::string_view token, SteadyTime now) {
  return Take(token, now).Verdict;
}

TokenStore::Taken TokenStore::Take(std::string_view token, SteadyTime now) {
  std::lock_guard lock(mutex_);
  auto found = issued_.find(token);
  if (found == issued_.end()) return {};
  Taken taken{Verdict::Accepted, found->first, found->second.Client, found->second.At};
  if (now - found->second.At > limits_.Lifetime) taken.Verdict = Verdict::Expired;
  Forget(found);
  return taken;
}

void TokenStore::Restore(const Taken& taken) {
  if (taken.Verdict != Verdict::Accepted) return;
  std::lock_guard lock(mutex_);
  if (issued_.count(taken.Token) != 0) return;
  Add(taken.Token, taken.Client, taken.IssuedAt);
}

std::size_t TokenStore::Outstanding() const {
  std::lock_guard lock(mutex_);
  return issued_.size();
}

void TokenStore::Add(std::string token, std::string client, SteadyTime at) {
  auto& held = byClient_[client];
  if (!held.empty()) clientsByLoad_.erase({held.size(), client});
  held.emplace(at, token);
  clientsByLoad_.emplace(held.size(), client);
  byAge_.emplace(at, token);
  issued_.emplace(std::move(token), Issued{at, std::move(client)});
}

void TokenStore::Forget(ByToken::iterator token) {
  const std::string& client = token->second.Client;
  auto held = byClient_.find(client);
  if (held != byClient_.end()) {
    clientsByLoad_.erase({held->second.size(), client});
    held->second.erase({token->second.At, token->first});
    if (held->second.empty()) {
      byClient_.erase(held);
    } else {
      clientsByLoad_.emplace(held->second.size(), client);
    }
  }
  byAge_.erase({token->second.At, token->first});
  issued_.erase(token);
}

void TokenStore::ForgetOldestOf(const std::string& client) {
  auto held = byClient_.find(client);
  if (held == byClient_.end() || held->second.empty()) return;
  Forget(issued_.find(held->second.begin()->second));
}

bool TokenStore::MakeRoom(const std::string& client, SteadyTime now) {
  while (!byAge_.empty() && now - byAge_.begin()->first > limits_.Lifetime) {
    Forget(issued_.find(byAge_.begin()->second));
  }
  auto held = byClient_.find(client);
  if (held != byClient_.end() && held->second.size() >= limits_.PerClient) {
    ForgetOldestOf(client);
  }
  if (issued_.size() < limits_.Capacity) return true;
  // Full of live tokens: the busiest address pays, but never with its only token.
  auto busiest = std::prev(clientsByLoad_.end());
  if (busiest->first < 2) return false;
  std::string busiestClient = busiest->second;  // the set entry goes with the token
  ForgetOldestOf(busiestClient);
  return true;
}

}  // namespace rivoltra::scores
